#pragma once
// The two-stage predictor of one channel: a fixed first-order filter followed by an
// adaptive predictor from the channel's own past (4 taps) and, in stereo, from the other
// channel (5 taps). The encoder runs it forward and returns the prediction residuals.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::ape {

class Predictor {
 public:
  // How the decoder sizes the adaptive prediction: the stereo path of the highest level
  // computes it without wrapping, every other path wraps at 32 bits.
  enum class Arithmetic { kWrap32, kWide };
  // Code used for the adaptive part; both give identical results.
  enum class Kernel { kFastest, kScalar };

  explicit Predictor(Kernel kernel = Kernel::kFastest);

  // Returns to the state at a frame start.
  void Reset() { state_ = State{}; }

  // Residuals of `count` values of a channel without cross-channel input (mono, pseudo-stereo).
  void CompressMono(const std::int32_t* values, std::int32_t* residuals, std::size_t count);

  // Residuals of `count` blocks of a stereo pair: Y (side) takes the previous block's X as its
  // cross-channel input, X (mid) the current block's Y. xs[-1] must hold the X before the
  // first block (0 at a frame start).
  static void CompressStereo(Predictor& y, Predictor& x, const std::int32_t* ys, const std::int32_t* xs,
                             std::int32_t* residualsY, std::int32_t* residualsX, std::size_t count,
                             Arithmetic arithmetic);

  // What a channel carries from one value to the next.
  struct State {
    std::int32_t last_value = 0;
    // a[n-1], a[n-2] of the first-stage output, and the two previous first differences.
    std::int32_t a1 = 0, a2 = 0, delta_a1 = 0, delta_a2 = 0;
    // Cross-channel part: previous input, previous filtered input B0 and previous B1 values.
    std::int32_t last_cross = 0, last_b0 = 0, delta_b1 = 0, delta_b2 = 0, delta_b3 = 0;
    std::array<std::int32_t, 4> own_coefficients{360, 317, -109, 98};
    std::array<std::int32_t, 5> cross_coefficients{};
  };

  // The inputs of the adaptive part for a run of values, which depend on the signal alone:
  // the first-stage outputs a, the filtered cross inputs B0 and the first differences of
  // both, each run behind the last entries of the run before.
  struct Taps {
    std::vector<std::int32_t> first, first_differences;
    std::vector<std::int32_t> cross, cross_differences;
  };

 private:
  bool vector_;
  State state_;
  Taps taps_;
};

}  // namespace corvane::ape
