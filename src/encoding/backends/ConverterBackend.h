#pragma once
#include "encoding/EncodeJob.h"

namespace corvane {

class IUserInterface;

// MP3, WAV, Ogg Vorbis and VOX: one-second blocks of samples written to the run's conversion
// component. On success the output stays open in the component; the run completes it with
// Reset (and removes it after a failure or a stop).
EncodeOutcome EncodeWithConverter(const EncodeJob& job, IUserInterface& ui);

}  // namespace corvane
