#pragma once
#include <QString>
#include <memory>

#include "engine/DecodeStream.h"
#include "engine/InputTypes.h"

namespace corvane {

class CAudioEngine;
class IUserInterface;

// Services around source audio files that the converter, the ripper and playback share.
class AudioFileServices {
 public:
  // Size of the file in bytes; 0 when it cannot be opened for reading.
  static qint64 FileSize(const QString& path);
  // Whether the path leads to a regular file (symbolic links followed), found without opening
  // it: a FIFO would block a reader and a device would never end.
  static bool IsRegularFile(const QString& path);

  // Opens `path`, already typed as `type`, as a stream. Files of a kind the engine has no decoder
  // for (OptimFROG) are refused with Codec even when FFmpeg would read their content as
  // something else.
  static EngineResult<std::unique_ptr<DecodeStream>> OpenStream(const CAudioEngine& engine, const QString& path,
                                                                InputType type, DecodeStream::Mode mode);

  // Playing time of a stream in milliseconds, cut to a whole number.
  static qint64 LengthMs(const AudioStream& stream);

  // Frees `stream`, then opens `path` as a stream that can be played when the output device is
  // open (decoding only otherwise). `size` receives the file's size. Returns the playing time
  // in milliseconds, never 0: a stream that opens but holds no audio fails with Empty.
  static EngineResult<qint64> OpenPlaybackStream(const CAudioEngine& engine, const QString& path,
                                                 std::unique_ptr<DecodeStream>& stream, qint64& size);

  // Tells the user that `path` could not be loaded; nothing is shown for Ok.
  static void ReportLoadError(IUserInterface& ui, EngineError code, const QString& path);
};

}  // namespace corvane
