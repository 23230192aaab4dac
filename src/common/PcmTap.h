#pragma once
#include <QtGlobal>

namespace corvane {

// Sees a track's audio exactly as it was read (44100 Hz, 16-bit little-endian stereo, already
// shifted by the drive's read offset), whatever the output is made of. A reader calls Consume
// with consecutive pieces from the first sample of the track on, each byte once; Restart when it
// goes back to the start of the track; Break when it can no longer deliver the track whole and
// in order (a seek elsewhere), after which the tap's result means nothing.
class PcmTap {
 public:
  virtual ~PcmTap() = default;
  virtual void Consume(const char* pcm, qsizetype bytes) = 0;
  virtual void Restart() = 0;
  virtual void Break() = 0;
};

}  // namespace corvane
