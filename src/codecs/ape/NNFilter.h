#pragma once
// Adaptive sign-sign LMS filter ("NN filter") of the higher compression levels. The encoder
// runs it forward: it takes a signal value and returns the residual the decoder's filter
// turns back into that value.

#include <cstdint>
#include <vector>

namespace corvane::ape {

class NNFilter {
 public:
  // Vector code used for the filter's inner loops; all give identical results.
  enum class Kernel { kFastest, kSse2, kScalar };

  // order: number of taps (a multiple of 16); fractionBits: shift of the dot product.
  NNFilter(int order, int fractionBits, Kernel kernel = Kernel::kFastest);

  // Returns to the state at a frame start.
  void Reset();

  std::int32_t Compress(std::int32_t input);

 private:
  struct Kernels {
    std::int32_t (*dot)(const std::int16_t* coefficients, const std::int16_t* history, int order);
    void (*adapt)(std::int16_t* coefficients, const std::int16_t* steps, int order, bool add);
  };
  static Kernels KernelsFor(Kernel kernel);

  void Advance();

  Kernels kernels_;
  int order_;
  int fractionBits_;
  std::int32_t rounding_;
  std::uint32_t average_ = 0;
  std::vector<std::int16_t> coefficients_;
  // Rolling windows of the last `order_` clamped outputs and adaptation steps; position_
  // is where the current window starts. When the buffer is used up the window moves back.
  std::vector<std::int16_t> history_;
  std::vector<std::int16_t> steps_;
  std::size_t position_ = 0;
};

}  // namespace corvane::ape
