#include "codecs/ape/NNFilter.h"

#include <algorithm>

#include "codecs/ape/NNFilterKernels.h"

namespace corvane::ape {
namespace {

// Spare room behind the window, so that the window only moves back every this many values.
constexpr std::size_t kWindowSlack = 4096;

}  // namespace

NNFilter::NNFilter(int order, int fraction_bits, Kernel kernel)
    : kernel_(kernel),
      coefficients_(static_cast<std::size_t>(order)),
      history_(static_cast<std::size_t>(order) + kWindowSlack),
      steps_(static_cast<std::size_t>(order) + kWindowSlack) {
  const nnkernels::Kernels kernels = nnkernels::Select(order, kernel);
  run_one_ = kernels.one;
  run_two_ = kernels.two;
  state_.order = order;
  state_.fraction_bits = fraction_bits;
  state_.capacity = history_.size();
  Reset();
}

void NNFilter::Reset() {
  std::fill(coefficients_.begin(), coefficients_.end(), std::int16_t{0});
  std::fill(history_.begin(), history_.begin() + state_.order, std::int16_t{0});
  std::fill(steps_.begin(), steps_.begin() + state_.order, std::int16_t{0});
  state_.coefficients = coefficients_.data();
  state_.history = history_.data();
  state_.steps = steps_.data();
  state_.position = 0;
  state_.average = 0;
}

void NNFilter::Compress(std::int32_t* values, std::size_t count) { run_one_(state_, values, count); }

void NNFilter::Compress(NNFilter& first, std::int32_t* firstValues, NNFilter& second, std::int32_t* secondValues,
                        std::size_t count) {
  if (first.state_.order != second.state_.order || first.kernel_ != second.kernel_ ||
      first.state_.fraction_bits != second.state_.fraction_bits) {
    first.Compress(firstValues, count);
    second.Compress(secondValues, count);
    return;
  }
  first.run_two_(first.state_, firstValues, second.state_, secondValues, count);
}

}  // namespace corvane::ape
