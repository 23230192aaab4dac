#include "ripper/RipSessionTrack.h"

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

}  // namespace corvane
