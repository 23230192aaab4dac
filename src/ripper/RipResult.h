#pragma once

namespace corvane {

// How ripping one track ended, numbered as EncodeTrack's results where they meet them. Skipped:
// the user kept the output that was there. NoDisc: the drive (or image) could not be opened at
// all, and the caller may go on another way (the grabber's own grab). NoOutput: the output file
// could not be created or given its name; NoFolder: its folder could not be made. RetryLimit: a
// grab needed every retry it was allowed, and its file was not kept.
enum class RipResult : int {
  Done = 0,
  Failed = 1,
  StoppedThis = 2,
  Skipped = 3,
  StoppedAll = 4,
  NoOutput = 5,
  NoFolder = 6,
  RetryLimit = 7,
  NoDisc = 10
};

}  // namespace corvane
