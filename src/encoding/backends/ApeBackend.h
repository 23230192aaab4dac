#pragma once
#include "encoding/EncodeJob.h"

namespace corvane {

class IUserInterface;

// Monkey's Audio through our compression library, half-second blocks, at the level of
// "APE Compression Level" (0..4, default 1, written back). Sources of 8-bit resolution are
// compressed as 8-bit data. With keep_tags set the tags go into an APEv2 tag afterwards. A failed
// or stopped job leaves no file.
EncodeOutcome EncodeWithApe(const EncodeJob& job, IUserInterface& ui);

// Threads that code a job's frames: `stored` ("APE Encoder Threads"; 0 or less: as many as
// there are processors), never more than the job's share of the `processors` (share 0: all).
int ApeEncoderThreads(int stored, int share, int processors);

}  // namespace corvane
