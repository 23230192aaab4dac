#pragma once
// The inner loops of the NN filter, one per vector instruction set and filter order. Each runs
// the filter over a run of values with the filter's state kept in registers where it fits.

#include <cstddef>
#include <cstdint>

#include "codecs/ape/NNFilter.h"

namespace corvane::ape::nnkernels {

struct Kernels {
  // One filter over `count` values.
  void (*one)(NNFilterState& state, std::int32_t* values, std::size_t count) = nullptr;
  // Two filters of the same shape, each over its own `count` values, in one loop.
  void (*two)(NNFilterState& first, std::int32_t* firstValues, NNFilterState& second, std::int32_t* secondValues,
              std::size_t count) = nullptr;
};

// The loops for filters of `order` taps (16, 32, 64, 256 or 1280) with the given kernel;
// kFastest picks the widest instruction set the processor has.
Kernels Select(int order, NNFilter::Kernel kernel);

}  // namespace corvane::ape::nnkernels
