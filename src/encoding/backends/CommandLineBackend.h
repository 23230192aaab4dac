#pragma once
#include "encoding/EncodeJob.h"

namespace corvane {

class IUserInterface;

// FLAC and Musepack through the `flac` and `mpcenc` programs, found in the job's program folder
// or on PATH and fed a WAV stream on their standard input, half-second blocks. flac writes the
// output by name; mpcenc writes it to its standard output, which is the output file. Tags are
// written by TagLib once the program is done. text::kMsgEncoderStartFailed with
// EncoderFailure::ProgramStart when the program cannot be started, text::kMsgEncodingError with
// EncoderFailure::ProgramStopped when it ends while being fed or the disk lacks room for the
// output (with the reason), and text::kMsgEncodingError with its exit status when it reports a
// failure at the end. A failed or stopped job ends the program and leaves no file.
EncodeOutcome EncodeWithFlac(const EncodeJob& job, IUserInterface& ui);
EncodeOutcome EncodeWithMusepack(const EncodeJob& job, IUserInterface& ui);

}  // namespace corvane
