#pragma once

namespace corvane {

// How ripping one track ended, numbered as EncodeTrack's results where they meet them. Skipped:
// the user kept the output that was there. NoDisc: the drive (or image) could not be opened at
// all, and the caller may go on another way (the grabber's own grab).
enum class RipResult : int { Done = 0, Failed = 1, StoppedThis = 2, Skipped = 3, StoppedAll = 4, NoDisc = 10 };

}  // namespace corvane
