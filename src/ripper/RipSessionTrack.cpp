#include "ripper/RipSessionTrack.h"

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "output/RunSummary.h"

namespace corvane {

TrackChecksums RipSessionTrack::Checksums() const {
  TrackChecksums sums;
  sums.audio_index = audio_index;
  if (!checksum) return sums;
  sums.v1 = checksum->V1();
  sums.v2 = checksum->V2();
  sums.crc32 = checksum->Crc32();
  sums.complete = checksum->Complete();
  return sums;
}

QString RipTally::Summary(const QString& outputFolder) const {
  return RunSummary(ripped, failed, false, outputFolder, cancelled);
}

RipTally TallyTracks(const std::vector<RipSessionTrack>& tracks) {
  RipTally tally;
  for (const RipSessionTrack& track : tracks) {
    if (track.done) ++tally.ripped;
    if (track.failed) tally.failed << StringTable::Format(text::kRipTrackName, {track.number});
    if (track.result == RipResult::StoppedThis || track.result == RipResult::StoppedAll) ++tally.cancelled;
  }
  return tally;
}

}  // namespace corvane
