#include "components/grabber/MusicBrainzToc.h"

#include "engine/CdTrackPlace.h"

namespace corvane {
namespace {

constexpr int kLeadInFrames = 150;

struct PlacedTrack {
  DiscToc::Track track;
  size_t session = 0;
};

}  // namespace

MusicBrainzToc MusicBrainzTocOf(const DiscToc& disc) {
  std::vector<PlacedTrack> tracks;
  for (size_t session = 0; session < disc.sessions.size(); ++session)
    for (const auto& track : disc.sessions[session]) tracks.push_back({track, session});

  size_t audioEnd = tracks.size();  // one past the last audio track
  while (audioEnd > 0 && tracks[audioEnd - 1].track.type != CdTrackType::Audio) --audioEnd;
  MusicBrainzToc toc;
  if (audioEnd == 0) return toc;

  toc.firstTrack = tracks.front().track.number;
  toc.lastTrack = toc.firstTrack + static_cast<int>(audioEnd) - 1;
  for (size_t i = 0; i < audioEnd; ++i) toc.trackFrames.push_back(tracks[i].track.lsn + kLeadInFrames);
  if (audioEnd == tracks.size()) {
    toc.leadoutFrame = disc.leadoutLsn + kLeadInFrames;
  } else {
    const PlacedTrack& data = tracks[audioEnd];
    const bool laterSession = data.session > tracks[audioEnd - 1].session;
    toc.leadoutFrame = data.track.lsn + kLeadInFrames - (laterSession ? kSessionGapSectors : 0);
  }
  return toc;
}

}  // namespace corvane
