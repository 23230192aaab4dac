#pragma once
#include "encoding/EncodeJob.h"

namespace corvane {

class IUserInterface;

// WMA at a constant bitrate through the engine's WMA encoder, half-second blocks. With keep_tags
// set the seven ASF tags are always written, empty ones included. The encoder has no VBR mode,
// so a job with VBR on is refused with text::kMsgEncoderStartFailed. A failed or stopped job leaves no file.
EncodeOutcome EncodeWithWma(const EncodeJob& job, IUserInterface& ui);

}  // namespace corvane
