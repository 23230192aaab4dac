#include "components/grabber/MusicBrainzToc.h"

#include "engine/CdTrackPlace.h"

namespace corvane {
namespace {

constexpr int kLeadInFrames = 150;

}  // namespace

MusicBrainzToc MusicBrainzTocOf(const DiscToc& disc) {
  std::vector<DiscToc::Track> tracks;
  for (const auto& session : disc.sessions) tracks.insert(tracks.end(), session.begin(), session.end());

  size_t audioEnd = tracks.size();  // one past the last audio track
  while (audioEnd > 0 && tracks[audioEnd - 1].type != CdTrackType::Audio) --audioEnd;
  MusicBrainzToc toc;
  if (audioEnd == 0) return toc;

  toc.first_track = tracks.front().number;
  toc.last_track = toc.first_track + static_cast<int>(audioEnd) - 1;
  for (size_t i = 0; i < audioEnd; ++i) toc.track_frames.push_back(tracks[i].lsn + kLeadInFrames);
  if (audioEnd == tracks.size()) {
    toc.leadout_frame = disc.leadout_lsn + kLeadInFrames;
  } else {
    // An Enhanced CD: its data track stands in a second session, even where an image of it has
    // only one, so the audio ends a session gap before the data track.
    toc.leadout_frame = tracks[audioEnd].lsn + kLeadInFrames - kSessionGapSectors;
  }
  return toc;
}

}  // namespace corvane
