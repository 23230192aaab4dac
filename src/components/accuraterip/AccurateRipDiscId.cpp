#include "components/accuraterip/AccurateRipDiscId.h"

#include <algorithm>

#include "components/grabber/CddbDiscId.h"

namespace corvane {
namespace {

constexpr int kLeadIn = 150;

QString Hex8(quint32 value) { return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')); }

}  // namespace

int AccurateRipDiscId::AudioIndexOf(int trackNumber) const {
  const auto found = std::find(audio_track_numbers.begin(), audio_track_numbers.end(), trackNumber);
  return found == audio_track_numbers.end() ? -1 : static_cast<int>(found - audio_track_numbers.begin());
}

QString AccurateRipDiscId::Name() const {
  return QStringLiteral("dBAR-%1-%2-%3-%4.bin")
      .arg(audio_tracks, 3, 10, QLatin1Char('0'))
      .arg(Hex8(id1), Hex8(id2), Hex8(cddb));
}

QString AccurateRipDiscId::UrlPath() const {
  QString path;
  for (int digit = 0; digit < 3; ++digit) path += QString::number((id1 >> (4 * digit)) & 0xfu, 16) + QLatin1Char('/');
  return path + Name();
}

AccurateRipDiscId MakeAccurateRipDiscId(std::span<const AccurateRipTocTrack> tracks, int leadoutLba) {
  AccurateRipDiscId disc;
  std::vector<int> everyTrack;
  for (const AccurateRipTocTrack& track : tracks) {
    everyTrack.push_back(track.lba);
    if (!track.audio) continue;
    disc.audio_track_numbers.push_back(track.number);
    const int offset = track.lba - kLeadIn;
    disc.id1 += static_cast<quint32>(offset);
    disc.id2 += static_cast<quint32>(std::max(offset, 1)) * static_cast<quint32>(disc.audio_track_numbers.size());
  }
  disc.audio_tracks = static_cast<int>(disc.audio_track_numbers.size());
  const auto leadout = static_cast<quint32>(leadoutLba - kLeadIn);
  disc.id1 += leadout;
  disc.id2 += leadout * static_cast<quint32>(disc.audio_tracks + 1);
  disc.cddb = CddbDiscId(everyTrack, leadoutLba);
  return disc;
}

AccurateRipDiscId MakeAccurateRipDiscId(std::span<const int> audioLbas, int leadoutLba) {
  std::vector<AccurateRipTocTrack> tracks;
  for (const int lba : audioLbas) tracks.push_back({static_cast<int>(tracks.size()) + 1, lba, true});
  return MakeAccurateRipDiscId(tracks, leadoutLba);
}

AccurateRipDiscId MakeAccurateRipDiscId(const DiscToc& toc) {
  std::vector<AccurateRipTocTrack> tracks;
  for (const auto& session : toc.sessions)
    for (const DiscToc::Track& track : session)
      tracks.push_back({track.number, track.lsn + kLeadIn, track.type == CdTrackType::Audio});
  return MakeAccurateRipDiscId(tracks, toc.leadout_lsn + kLeadIn);
}

}  // namespace corvane
