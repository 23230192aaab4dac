#pragma once
// Adaptive sign-sign LMS filter ("NN filter") of the higher compression levels. The encoder
// runs it forward: it takes signal values and returns the residuals the decoder's filter
// turns back into those values.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::ape {

// What a filter carries from one value to the next; the kernels (NNFilterKernels.h) work on it.
struct NNFilterState {
  int order = 0;          // number of taps, a multiple of 16
  int fraction_bits = 0;  // shift of the dot product
  std::uint32_t average = 0;
  std::int16_t* coefficients = nullptr;
  // Rolling windows of the last `order` clamped inputs and adaptation steps; `position` is
  // where the current window starts. When the buffers are used up the windows move back.
  // A step is stored as an eighth of its size at age 0; its decay with age (full, half,
  // a quarter from age 2, an eighth from age 8) is applied where it is used, so that an
  // entry never changes once written.
  std::int16_t* history = nullptr;
  std::int16_t* steps = nullptr;
  std::size_t position = 0;
  std::size_t capacity = 0;  // entries of each window buffer
};

class NNFilter {
 public:
  // Vector code used for the filter's inner loops; all give identical results.
  enum class Kernel { kFastest, kSse2, kScalar };

  // order: number of taps (16, 32, 64, 256 or 1280); fraction_bits: shift of the dot product.
  NNFilter(int order, int fraction_bits, Kernel kernel = Kernel::kFastest);
  NNFilter(const NNFilter&) = delete;
  NNFilter& operator=(const NNFilter&) = delete;
  NNFilter(NNFilter&&) = default;
  NNFilter& operator=(NNFilter&&) = default;

  // Returns to the state at a frame start.
  void Reset();

  // Replaces `count` signal values, in order, by their residuals.
  void Compress(std::int32_t* values, std::size_t count);
  std::int32_t Compress(std::int32_t input) {
    Compress(&input, 1);
    return input;
  }
  // Both filters over their own values, as Compress would; faster when both have the same
  // order and kernel, as the two filters of a stereo frame's channels do.
  static void Compress(NNFilter& first, std::int32_t* firstValues, NNFilter& second, std::int32_t* secondValues,
                       std::size_t count);

 private:
  using RunOne = void (*)(NNFilterState& state, std::int32_t* values, std::size_t count);
  using RunTwo = void (*)(NNFilterState& first, std::int32_t* firstValues, NNFilterState& second,
                          std::int32_t* secondValues, std::size_t count);

  Kernel kernel_;
  RunOne run_one_;
  RunTwo run_two_;
  std::vector<std::int16_t> coefficients_;
  std::vector<std::int16_t> history_;
  std::vector<std::int16_t> steps_;
  NNFilterState state_;
};

}  // namespace corvane::ape
