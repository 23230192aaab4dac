#pragma once
// Codes one frame: the CRC word, the optional flags word and the range-coded residuals of
// the frame's blocks. Frames are independent; all adaptive state starts afresh in each.

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "codecs/ape/ByteBuffer.h"
#include "codecs/ape/NNFilter.h"
#include "codecs/ape/Predictor.h"

namespace corvane::ape {

class RangeEncoder;
struct ResidualState;

class FrameEncoder {
 public:
  // level: 1000..5000; channels: 1 or 2; bitsPerSample: 8 or 16 (validated by the caller).
  FrameEncoder(int level, int channels, int bitsPerSample);

  // Appends the coded frame of `blocks` blocks of interleaved WAV-layout PCM to `out`.
  // With `cancel` given and set while the frame is coded, it stops early and returns false;
  // `out` then holds an unusable partial frame.
  bool Encode(const std::uint8_t* pcm, std::uint32_t blocks, ByteBuffer& out,
              const std::atomic<bool>* cancel = nullptr);

  // Frame flags: which channels are silent, or whether both channels are identical.
  static constexpr std::uint32_t kFlagFirstSilent = 1;
  static constexpr std::uint32_t kFlagSecondSilent = 2;
  static constexpr std::uint32_t kFlagPseudoStereo = 4;
  static constexpr std::uint32_t kCrcHasFlags = 0x80000000u;

 private:
  struct Channel {
    Predictor predictor;
    std::vector<NNFilter> filters;  // in encoder order, largest first
    void Filter(std::int32_t* residuals, std::size_t count);
    void Reset();
  };

  std::int32_t Sample(const std::uint8_t* pcm, std::size_t index) const;
  std::uint32_t ChooseFlags(const std::uint8_t* pcm, std::uint32_t blocks) const;
  // Signed samples of `count` values `stride` apart into `to`.
  void ReadSamples(const std::uint8_t* pcm, std::size_t count, std::size_t stride, std::int32_t* to) const;
  void EncodeMonoPart(const std::uint8_t* pcm, std::size_t blocks, std::size_t stride, RangeEncoder& coder,
                      ResidualState& residuals);
  void EncodeStereoPart(const std::uint8_t* pcm, std::size_t blocks, RangeEncoder& coder, ResidualState& residualsY,
                        ResidualState& residualsX);

  int channels_;
  int bytes_per_sample_;
  Predictor::Arithmetic stereo_arithmetic_;
  std::array<Channel, 2> state_;
  // Work areas of one part of a frame: signal values and residuals of each channel.
  std::array<std::vector<std::int32_t>, 2> values_;
  std::array<std::vector<std::int32_t>, 2> residuals_;
};

}  // namespace corvane::ape
