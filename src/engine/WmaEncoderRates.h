#pragma once
#include <vector>

namespace corvane {

// What the WMA encoder of the engine (FFmpeg's wmav2) offers for a sample rate and channel
// count. FFmpeg has no variable-bitrate or lossless WMA encoder, so there are no VBR levels.
class WmaEncoderRates {
 public:
  // Constant bitrates in bits per second, ascending, each one the encoder opened with and kept.
  // Empty when the encoder is missing or takes none of them.
  static std::vector<int> ConstantBitrates(int sampleRate, int channels);
  // VBR quality levels (100 = lossless); always empty here.
  static std::vector<int> VbrQualities(int sampleRate, int channels);
  // Whether the encoder opens with exactly this bitrate (bits per second).
  static bool Accepts(int sampleRate, int channels, int bitsPerSecond);
};

}  // namespace corvane
