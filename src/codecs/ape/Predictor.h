#pragma once
// The two-stage predictor of one channel: a fixed first-order filter followed by an
// adaptive predictor from the channel's own past (4 taps) and, in stereo, from the other
// channel (5 taps). The encoder runs it forward and returns the prediction residual.

#include <array>
#include <cstdint>

namespace corvane::ape {

class Predictor {
 public:
  // How the decoder sizes the adaptive prediction: the stereo path of the highest level
  // computes it without wrapping, every other path wraps at 32 bits.
  enum class Arithmetic { kWrap32, kWide };

  void Reset() { *this = Predictor{}; }

  // Residual of `value` for a channel without cross-channel input (mono, pseudo-stereo).
  std::int32_t CompressMono(std::int32_t value);
  // Residual of `value` given the cross-channel input `cross` (stereo).
  std::int32_t CompressStereo(std::int32_t value, std::int32_t cross, Arithmetic arithmetic);

 private:
  std::int64_t FilterInput(std::int32_t value);
  std::int64_t PredictOwn() const;
  void AdaptAndShift(std::int32_t residual);

  std::int32_t lastValue_ = 0;
  // a[n-1], a[n-2] of the first-stage output, and the two previous first differences.
  std::int32_t a1_ = 0, a2_ = 0, deltaA1_ = 0, deltaA2_ = 0;
  std::int32_t current_ = 0;  // a[n], kept for the shift after adaptation
  // Cross-channel part: previous input, previous filtered input B0 and previous B1 values.
  std::int32_t lastCross_ = 0, lastB0_ = 0, deltaB1_ = 0, deltaB2_ = 0, deltaB3_ = 0;
  std::int32_t b0_ = 0, b1_ = 0;  // the current block's B0 and B1
  std::array<std::int32_t, 4> ownCoefficients_{360, 317, -109, 98};
  std::array<std::int32_t, 5> crossCoefficients_{};
  bool stereo_ = false;
};

}  // namespace corvane::ape
