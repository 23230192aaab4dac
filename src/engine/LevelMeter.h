#pragma once
#include <optional>
#include <vector>

#include "engine/AudioStream.h"

namespace corvane {

// Peak levels of a stream, read stretch by stretch (each reading decodes the next 20 ms and
// consumes it, as a level meter on a decoding stream does).
class LevelMeter {
 public:
  struct Levels {
    int left = 0;   // 0..32768 on the 16-bit scale
    int right = 0;  // the same as left for a mono stream
  };

  explicit LevelMeter(AudioStream& stream);

  // The levels of the next stretch; nullopt once the stream is exhausted or fails.
  std::optional<Levels> Next();

  // Reads the stream from where it stands to its end and returns the largest left or right
  // level seen, capped at 32767. Stops early once the cap is reached; the caller rewinds.
  static int MeasurePeak(AudioStream& stream);

 private:
  AudioStream& stream_;
  std::vector<qint16> buffer_;
};

}  // namespace corvane
