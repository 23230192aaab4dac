#pragma once
#include "common/Result.h"

namespace corvane {

// Failure codes of the grabber component. Every call of the grabber that can fail returns a
// GrabberResult with one of them and, for the user, the reason in the library's words.
enum class GrabberErrorCode : int {
  Ok = 0,
  NoDrives = 1,        // neither a drive nor a disc image could be listed
  InvalidDrive = 2,    // drive number outside 1..GetDriveCount, or no drive chosen
  DeviceError = 3,     // the drive or image could not be opened or did not answer
  NoDisc = 4,          // no disc in the drive (or the image lost its file)
  InvalidSession = 5,  // session index outside 0..GetSessionCount-1
  InvalidTrack = 6,    // track index outside the current session
  NotAudio = 7,        // a data track was asked to be read as audio
  NotOpen = 8,         // reading or seeking without an open track
  ReadError = 9,       // sectors could not be read
  NoTray = 10,         // the drive has no tray to move (a disc image)
  Unsupported = 11,    // the drive or this build cannot do what was asked
  Busy = 12,           // a grab is running
  InvalidSource = 13,  // a look-up source the grabber does not know
  Aborted = 14,        // AbortGrab stopped the grab
  WriteError = 15,     // the grab's output file could not be created or written
};

using GrabberResult = Result<GrabberErrorCode>;
template <typename T>
using GrabberValue = ValueResult<T, GrabberErrorCode>;

}  // namespace corvane
