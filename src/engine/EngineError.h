#pragma once
#include "common/Result.h"

namespace corvane {

// Engine failure codes, numbered as the audio library's public error codes so that messages and
// branches that test for a code keep their meaning.
enum class EngineError : int {
  Ok = 0,
  Memory = 1,
  FileOpen = 2,  // file cannot be opened
  Driver = 3,
  Handle = 5,
  Format = 6,  // unsupported sample format
  Position = 7,
  Init = 8,      // engine or device not initialised
  NoCd = 12,     // no CD in the drive
  CdTrack = 13,  // no such track
  Already = 14,
  NotAudio = 17,
  IllegalType = 19,
  IllegalParam = 20,
  Device = 23,
  NoPlay = 24,
  Frequency = 25,
  NotFile = 27,
  Empty = 31,
  Create = 33,
  NotAvailable = 37,
  Decode = 38,  // not playable: a decode-only stream
  Timeout = 40,
  FileFormat = 41,  // unknown file format
  Speaker = 42,
  Version = 43,
  Codec = 44,  // codec not available
  Ended = 45,
  Busy = 46,
  Protected = 1000,     // protected by digital rights management
  MediaRuntime = 1001,  // a media runtime is missing
  Unknown = -1,
};

inline int ToCode(EngineError error) { return static_cast<int>(error); }

// What an engine call that hands back a value returns: the value, or the engine's reason.
template <typename T>
using EngineResult = ValueResult<T, EngineError>;

}  // namespace corvane
