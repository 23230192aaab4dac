#include "codecs/ape/NNFilterKernels.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CORVANE_APE_X86 1
#endif

namespace corvane::ape::nnkernels {
namespace {

// Steps are stored as an eighth of their size; the newest eight entries of a window are still
// larger by these factors (ages 7..2 twice, age 1 four times, age 0 eight times).
constexpr std::int16_t kNewestStepFactors[8] = {2, 2, 2, 2, 2, 2, 4, 8};

// +1 for negative, -1 for positive values: the sign convention of the filter's adaptation.
inline std::int32_t NegativeSign(std::int32_t v) { return (v < 0) - (v > 0); }

// Appends `count` inputs of each filter and their adaptation steps to the windows. Both depend
// on the inputs alone, so they are written before the main loop, which then never reads a
// value it has just stored. The filters' running averages advance side by side.
template <int kLanes>
void FillWindows(NNFilterState* const* states, std::int32_t* const* values, std::size_t count) {
  std::int16_t* history[kLanes];
  std::int16_t* steps[kLanes];
  std::uint32_t average[kLanes];
  for (int lane = 0; lane < kLanes; ++lane) {
    const NNFilterState& s = *states[lane];
    const std::size_t end = s.position + static_cast<std::size_t>(s.order);
    history[lane] = s.history + end;
    steps[lane] = s.steps + end;
    average[lane] = s.average;
  }
  for (std::size_t n = 0; n < count; ++n) {
    for (int lane = 0; lane < kLanes; ++lane) {
      const std::int32_t input = values[lane][n];
      const std::uint32_t magnitude =
          input < 0 ? 0u - static_cast<std::uint32_t>(input) : static_cast<std::uint32_t>(input);
      // The step grows when the input is large against the running average.
      const std::uint32_t a = average[lane];
      const int grow = magnitude > 3 * a ? 2 : static_cast<int>(magnitude > a + a / 3);
      steps[lane][n] = static_cast<std::int16_t>(NegativeSign(input) * (1 << grow));
      average[lane] = a + static_cast<std::uint32_t>(static_cast<std::int32_t>(magnitude - a) / 16);
      history[lane][n] = static_cast<std::int16_t>(std::clamp(input, -32768, 32767));
    }
  }
  for (int lane = 0; lane < kLanes; ++lane) states[lane]->average = average[lane];
}

// The residual of `input` given the dot product of coefficients and history.
[[gnu::always_inline]] inline std::int32_t Residual(std::int32_t input, std::int32_t dot, int fractionBits) {
  const std::int64_t prediction = (static_cast<std::int64_t>(dot) + (1 << (fractionBits - 1))) >> fractionBits;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(input - prediction));
}

// One filter's share of a main loop: `history` and `steps` point at the window of its first
// value, and the windows of the following values start one entry further each. Filters of
// the two channels of a frame run in one loop, so that the processor can work on both
// adaptation chains at once.
struct Lane {
  std::int16_t* coefficients;
  const std::int16_t* history;
  const std::int16_t* steps;
  std::int32_t* values;
};

// Plain C++: 32-bit wrap-around dot product, 16-bit wrap-around coefficients.
template <int kOrder, int kLanes>
void LoopScalar(Lane* lanes, std::size_t count, int fractionBits) {
  for (int lane = 0; lane < kLanes; ++lane) {
    std::int16_t* coefficients = lanes[lane].coefficients;
    const std::int16_t* history = lanes[lane].history;
    const std::int16_t* steps = lanes[lane].steps;
    std::int32_t* values = lanes[lane].values;
    for (std::size_t n = 0; n < count; ++n, ++history, ++steps) {
      std::uint32_t dot = 0;
      for (int j = 0; j < kOrder; ++j) dot += static_cast<std::uint32_t>(coefficients[j] * history[j]);
      values[n] = Residual(values[n], static_cast<std::int32_t>(dot), fractionBits);
      const std::int32_t sign = NegativeSign(values[n]);
      for (int j = 0; j < kOrder; ++j) {
        const int factor = j < kOrder - 8 ? 1 : kNewestStepFactors[j - (kOrder - 8)];
        coefficients[j] =
            static_cast<std::int16_t>(static_cast<std::uint16_t>(coefficients[j] + steps[j] * factor * sign));
      }
    }
  }
}

#ifdef CORVANE_APE_X86
template <int kOrder, int kLanes>
void LoopSse2(Lane* lanes, std::size_t count, int fractionBits) {
  constexpr int kBlocks = kOrder / 8;
  __m128i coefficients[kLanes][kBlocks];
  for (int lane = 0; lane < kLanes; ++lane) {
    for (int b = 0; b < kBlocks; ++b) {
      coefficients[lane][b] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes[lane].coefficients + 8 * b));
    }
  }
  const __m128i newestFactors = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kNewestStepFactors));
  for (std::size_t n = 0; n < count; ++n) {
    for (int lane = 0; lane < kLanes; ++lane) {
      __m128i* c = coefficients[lane];
      const std::int16_t* history = lanes[lane].history + n;
      const std::int16_t* steps = lanes[lane].steps + n;
      __m128i sum = _mm_setzero_si128();
      for (int b = 0; b < kBlocks; ++b) {
        const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(history + 8 * b));
        sum = _mm_add_epi32(sum, _mm_madd_epi16(c[b], h));
      }
      sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
      sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(2, 3, 0, 1)));
      std::int32_t& value = lanes[lane].values[n];
      value = Residual(value, _mm_cvtsi128_si32(sum), fractionBits);
      const __m128i sign = _mm_set1_epi16(static_cast<std::int16_t>(NegativeSign(value)));
      for (int b = 0; b < kBlocks - 1; ++b) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(steps + 8 * b));
        c[b] = _mm_add_epi16(c[b], _mm_mullo_epi16(s, sign));
      }
      const __m128i newest = _mm_loadu_si128(reinterpret_cast<const __m128i*>(steps + kOrder - 8));
      c[kBlocks - 1] = _mm_add_epi16(c[kBlocks - 1], _mm_mullo_epi16(_mm_mullo_epi16(newest, newestFactors), sign));
    }
  }
  for (int lane = 0; lane < kLanes; ++lane) {
    for (int b = 0; b < kBlocks; ++b) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes[lane].coefficients + 8 * b), coefficients[lane][b]);
    }
  }
}

template <int kOrder, int kLanes>
__attribute__((target("avx2"))) void LoopAvx2(Lane* lanes, std::size_t count, int fractionBits) {
  constexpr int kBlocks = kOrder / 16;
  __m256i coefficients[kLanes][kBlocks];
  for (int lane = 0; lane < kLanes; ++lane) {
    for (int b = 0; b < kBlocks; ++b) {
      coefficients[lane][b] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes[lane].coefficients + 16 * b));
    }
  }
  // The last block's factors: one for its older half, kNewestStepFactors for the newer.
  const __m256i newestFactors = _mm256_inserti128_si256(
      _mm256_set1_epi16(1), _mm_loadu_si128(reinterpret_cast<const __m128i*>(kNewestStepFactors)), 1);
  for (std::size_t n = 0; n < count; ++n) {
    for (int lane = 0; lane < kLanes; ++lane) {
      __m256i* c = coefficients[lane];
      const std::int16_t* history = lanes[lane].history + n;
      const std::int16_t* steps = lanes[lane].steps + n;
      __m256i sum = _mm256_setzero_si256();
      for (int b = 0; b < kBlocks; ++b) {
        const __m256i h = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(history + 16 * b));
        sum = _mm256_add_epi32(sum, _mm256_madd_epi16(c[b], h));
      }
      __m128i half = _mm_add_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
      half = _mm_add_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(1, 0, 3, 2)));
      half = _mm_add_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(2, 3, 0, 1)));
      std::int32_t& value = lanes[lane].values[n];
      value = Residual(value, _mm_cvtsi128_si32(half), fractionBits);
      const __m256i sign = _mm256_set1_epi16(static_cast<std::int16_t>(NegativeSign(value)));
      for (int b = 0; b < kBlocks - 1; ++b) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(steps + 16 * b));
        c[b] = _mm256_add_epi16(c[b], _mm256_sign_epi16(s, sign));
      }
      const __m256i newest = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(steps + kOrder - 16));
      c[kBlocks - 1] =
          _mm256_add_epi16(c[kBlocks - 1], _mm256_sign_epi16(_mm256_mullo_epi16(newest, newestFactors), sign));
    }
  }
  for (int lane = 0; lane < kLanes; ++lane) {
    for (int b = 0; b < kBlocks; ++b) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(lanes[lane].coefficients + 16 * b), coefficients[lane][b]);
    }
  }
}
#endif

// Moves a window back to the start of its buffers once it has reached their end.
void Rewind(NNFilterState& state) {
  const auto order = static_cast<std::size_t>(state.order);
  if (state.position + order != state.capacity) return;
  std::memmove(state.history, state.history + state.position, order * sizeof(std::int16_t));
  std::memmove(state.steps, state.steps + state.position, order * sizeof(std::int16_t));
  state.position = 0;
}

// Runs `loop` over the values in stretches that fit every filter's window buffers.
template <int kLanes, void (*kLoop)(Lane*, std::size_t, int)>
void RunInStretches(NNFilterState* const* states, std::int32_t* const* values, std::size_t count) {
  for (std::size_t done = 0; done < count;) {
    std::size_t stretch = count - done;
    for (int lane = 0; lane < kLanes; ++lane) {
      Rewind(*states[lane]);
      const NNFilterState& s = *states[lane];
      stretch = std::min(stretch, s.capacity - static_cast<std::size_t>(s.order) - s.position);
    }
    Lane lanes[kLanes];
    std::int32_t* runs[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) {
      NNFilterState& s = *states[lane];
      runs[lane] = values[lane] + done;
      lanes[lane] = {s.coefficients, s.history + s.position, s.steps + s.position, runs[lane]};
    }
    FillWindows<kLanes>(states, runs, stretch);
    kLoop(lanes, stretch, states[0]->fraction_bits);
    for (int lane = 0; lane < kLanes; ++lane) states[lane]->position += stretch;
    done += stretch;
  }
}

template <int kOrder, template <int, int> class Loop>
Kernels Instances() {
  return {[](NNFilterState& state, std::int32_t* values, std::size_t count) {
            NNFilterState* states[] = {&state};
            std::int32_t* runs[] = {values};
            RunInStretches<1, Loop<kOrder, 1>::kRun>(states, runs, count);
          },
          [](NNFilterState& first, std::int32_t* firstValues, NNFilterState& second, std::int32_t* secondValues,
             std::size_t count) {
            NNFilterState* states[] = {&first, &second};
            std::int32_t* runs[] = {firstValues, secondValues};
            RunInStretches<2, Loop<kOrder, 2>::kRun>(states, runs, count);
          }};
}

// The loop templates by instruction set, so that Instances can take the set as a parameter.
template <int kOrder, int kLanes>
struct Scalar {
  static constexpr auto kRun = LoopScalar<kOrder, kLanes>;
};
#ifdef CORVANE_APE_X86
template <int kOrder, int kLanes>
struct Sse2 {
  static constexpr auto kRun = LoopSse2<kOrder, kLanes>;
};
template <int kOrder, int kLanes>
struct Avx2 {
  static constexpr auto kRun = LoopAvx2<kOrder, kLanes>;
};
#endif

template <int kOrder>
Kernels ForOrder(NNFilter::Kernel kernel) {
#ifdef CORVANE_APE_X86
  if (kernel == NNFilter::Kernel::kFastest && __builtin_cpu_supports("avx2")) return Instances<kOrder, Avx2>();
  if (kernel != NNFilter::Kernel::kScalar) return Instances<kOrder, Sse2>();
#else
  (void)kernel;
#endif
  return Instances<kOrder, Scalar>();
}

}  // namespace

Kernels Select(int order, NNFilter::Kernel kernel) {
  switch (order) {
    case 16:
      return ForOrder<16>(kernel);
    case 32:
      return ForOrder<32>(kernel);
    case 64:
      return ForOrder<64>(kernel);
    case 256:
      return ForOrder<256>(kernel);
    case 1280:
      return ForOrder<1280>(kernel);
    default:
      return {};
  }
}

}  // namespace corvane::ape::nnkernels
