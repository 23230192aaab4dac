#include "components/grabber/DiscToc.h"

#include <algorithm>

#include "components/grabber/CddbDiscId.h"
#include "components/grabber/MediaType.h"
#include "engine/CdTrackPlace.h"

namespace corvane {
namespace {

constexpr int kLeadInFrames = 150;

CdTrackType TypeOf(DiscTrackFormat format) {
  switch (format) {
    case DiscTrackFormat::Audio:
      return CdTrackType::Audio;
    case DiscTrackFormat::Mode1:
      return CdTrackType::Mode1;
    case DiscTrackFormat::Mode2:
      return CdTrackType::Mode2;
    case DiscTrackFormat::Mode2Form1:
      return CdTrackType::Mode2Form1;
    case DiscTrackFormat::Mode2Form2:
      return CdTrackType::Mode2Form2;
    case DiscTrackFormat::Unknown:
      break;
  }
  return CdTrackType::Unknown;
}

}  // namespace

int DiscToc::TrackCount() const {
  int count = 0;
  for (const auto& session : sessions) count += static_cast<int>(session.size());
  return count;
}

std::vector<std::vector<DiscToc::Track>> SplitSessions(const std::vector<DiscToc::Track>& tracks, int lastSessionLsn) {
  std::vector<std::vector<DiscToc::Track>> sessions(1);
  for (const DiscToc::Track& track : tracks) {
    if (lastSessionLsn > 0 && track.lsn >= lastSessionLsn && sessions.size() == 1 && !sessions.front().empty())
      sessions.emplace_back();
    sessions.back().push_back(track);
  }
  if (sessions.front().empty()) sessions.clear();
  return sessions;
}

DiscToc ReadDiscToc(IDiscAccess& disc) {
  DiscToc toc;
  const DiscTable& table = disc.Table();
  if (table.state != DiscTable::State::Present || table.tracks.empty()) {
    toc.state = table.state == DiscTable::State::NoDisc ? DiscState::None : DiscState::Unrecognised;
    return toc;
  }
  toc.leadout_lsn = table.leadout_lsn;
  std::vector<DiscToc::Track> tracks;
  std::vector<int> frames;
  // A track runs up to the next one (its pre-gap included, as the drive plays it), to its
  // session's lead-out or to the disc's.
  for (size_t i = 0; i < table.tracks.size(); ++i) {
    const DiscTable::Track& track = table.tracks[i];
    const int sectors = std::max(0, CdTrackEnd(track.lsn, table.EndOf(i), table.last_session_lsn) - track.lsn);
    const qint64 audio_frames = std::clamp<qint64>(table.EndFrame() - static_cast<qint64>(track.lsn) * kSectorFrames, 0,
                                                   static_cast<qint64>(sectors) * kSectorFrames);
    tracks.push_back({track.number, track.lsn, sectors, TypeOf(track.format), audio_frames});
    frames.push_back(track.lsn + kLeadInFrames);
  }
  toc.sessions = SplitSessions(tracks, table.last_session_lsn);
  toc.disc_id = CddbDiscId(frames, table.leadout_lsn + kLeadInFrames);
  toc.media_type = disc.Cdio() != nullptr && !disc.IsImage() ? ReadMediaType(disc.Cdio()) : kMediaCdRom;
  toc.cd_text = table.cd_text;
  toc.state = DiscState::Present;
  return toc;
}

}  // namespace corvane
