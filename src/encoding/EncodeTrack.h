#pragma once
#include "encoding/EncodeJob.h"

namespace corvane {

class IUserInterface;

// Encodes one file or track: picks the back-end of the job's format (the conversion component
// for MP3, WAV, OGG, VOX and any unknown code; the engine for WMA; flac and mpcenc for FLAC and
// Musepack; our compression library for Monkey's Audio) and runs it. Reports the output path in
// the status bar and progress 0..100 through `ui`, and asks the job's stop question when the
// job's stop request was made. A job without source or encode stream fails with an empty text.
EncodeOutcome EncodeTrack(const EncodeJob& job, IUserInterface& ui);

}  // namespace corvane
