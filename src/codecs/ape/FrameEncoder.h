#pragma once
// Codes one frame: the CRC word, the optional flags word and the range-coded residuals of
// the frame's blocks. Frames are independent; all adaptive state starts afresh in each.

#include <array>
#include <cstdint>
#include <vector>

#include "codecs/ape/NNFilter.h"
#include "codecs/ape/Predictor.h"

namespace corvane::ape {

class FrameEncoder {
 public:
  // level: 1000..5000; channels: 1 or 2; bitsPerSample: 8 or 16 (validated by the caller).
  FrameEncoder(int level, int channels, int bitsPerSample);

  // Appends the coded frame of `blocks` blocks of interleaved WAV-layout PCM to `out`.
  void Encode(const std::uint8_t* pcm, std::uint32_t blocks, std::vector<std::uint8_t>& out);

  // Frame flags: which channels are silent, or whether both channels are identical.
  static constexpr std::uint32_t kFlagFirstSilent = 1;
  static constexpr std::uint32_t kFlagSecondSilent = 2;
  static constexpr std::uint32_t kFlagPseudoStereo = 4;
  static constexpr std::uint32_t kCrcHasFlags = 0x80000000u;

 private:
  struct Channel {
    Predictor predictor;
    std::vector<NNFilter> filters;  // in encoder order, largest first
    std::int32_t Filter(std::int32_t residual);
    void Reset();
  };

  std::int32_t Sample(const std::uint8_t* pcm, std::size_t index) const;
  std::uint32_t ChooseFlags(const std::uint8_t* pcm, std::uint32_t blocks) const;
  void EncodeMono(const std::uint8_t* pcm, std::uint32_t blocks, std::size_t stride, std::vector<std::uint8_t>& out);
  void EncodeStereo(const std::uint8_t* pcm, std::uint32_t blocks, std::vector<std::uint8_t>& out);

  int channels_;
  int bytesPerSample_;
  Predictor::Arithmetic stereoArithmetic_;
  std::array<Channel, 2> state_;
};

}  // namespace corvane::ape
