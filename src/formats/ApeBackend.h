#pragma once
#include "formats/EncodeJob.h"

namespace corvane {

class IUserInterface;

// Monkey's Audio through our compression library, half-second blocks, at the level of
// "APE Compression Level" (0..4, default 1, written back). Sources of 8-bit resolution are
// compressed as 8-bit data. With keep_tags set the tags go into an APEv2 tag afterwards. A failed
// or stopped job leaves no file.
EncodeOutcome EncodeWithApe(const EncodeJob& job, IUserInterface& ui);

}  // namespace corvane
