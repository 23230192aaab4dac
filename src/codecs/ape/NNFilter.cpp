#include "codecs/ape/NNFilter.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace corvane::ape {
namespace {

// Spare room behind the window, so that the window only moves back every this many samples.
constexpr std::size_t kWindowSlack = 4096;

std::int16_t Saturate16(std::int32_t v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); }

// The two vector kernels, in 32-bit wrap-around (dot product) and 16-bit wrap-around
// (adaptation) arithmetic, exactly as the decoder computes them. Orders are multiples of 16.
#if defined(__x86_64__) || defined(__i386__)
std::int32_t DotProductSse2(const std::int16_t* a, const std::int16_t* b, int order) {
  __m128i sum = _mm_setzero_si128();
  for (int i = 0; i < order; i += 8) {
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    sum = _mm_add_epi32(sum, _mm_madd_epi16(va, vb));
  }
  sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
  sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(sum);
}

void AdaptSse2(std::int16_t* coefficients, const std::int16_t* steps, int order, bool add) {
  for (int i = 0; i < order; i += 8) {
    auto* c = reinterpret_cast<__m128i*>(coefficients + i);
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(steps + i));
    const __m128i v = _mm_loadu_si128(c);
    _mm_storeu_si128(c, add ? _mm_add_epi16(v, s) : _mm_sub_epi16(v, s));
  }
}

__attribute__((target("avx2"))) std::int32_t DotProductAvx2(const std::int16_t* a, const std::int16_t* b, int order) {
  __m256i sum = _mm256_setzero_si256();
  for (int i = 0; i < order; i += 16) {
    const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
    const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
    sum = _mm256_add_epi32(sum, _mm256_madd_epi16(va, vb));
  }
  __m128i half = _mm_add_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
  half = _mm_add_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(1, 0, 3, 2)));
  half = _mm_add_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(half);
}

__attribute__((target("avx2"))) void AdaptAvx2(std::int16_t* coefficients, const std::int16_t* steps, int order,
                                               bool add) {
  for (int i = 0; i < order; i += 16) {
    auto* c = reinterpret_cast<__m256i*>(coefficients + i);
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(steps + i));
    const __m256i v = _mm256_loadu_si256(c);
    _mm256_storeu_si256(c, add ? _mm256_add_epi16(v, s) : _mm256_sub_epi16(v, s));
  }
}
#endif

std::int32_t DotProductScalar(const std::int16_t* a, const std::int16_t* b, int order) {
  std::uint32_t sum = 0;
  for (int i = 0; i < order; ++i) sum += static_cast<std::uint32_t>(a[i] * b[i]);
  return static_cast<std::int32_t>(sum);
}

void AdaptScalar(std::int16_t* coefficients, const std::int16_t* steps, int order, bool add) {
  for (int i = 0; i < order; ++i) {
    const int delta = add ? steps[i] : -steps[i];
    coefficients[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(coefficients[i] + delta));
  }
}

}  // namespace

NNFilter::Kernels NNFilter::KernelsFor(Kernel kernel) {
#if defined(__x86_64__) || defined(__i386__)
  if (kernel == Kernel::kFastest && __builtin_cpu_supports("avx2")) return {DotProductAvx2, AdaptAvx2};
  if (kernel != Kernel::kScalar) return {DotProductSse2, AdaptSse2};
#else
  (void)kernel;
#endif
  return {DotProductScalar, AdaptScalar};
}

NNFilter::NNFilter(int order, int fractionBits, Kernel kernel)
    : kernels_(KernelsFor(kernel)),
      order_(order),
      fractionBits_(fractionBits),
      rounding_(1 << (fractionBits - 1)),
      coefficients_(static_cast<std::size_t>(order)),
      history_(static_cast<std::size_t>(order) + kWindowSlack),
      steps_(static_cast<std::size_t>(order) + kWindowSlack) {
  Reset();
}

void NNFilter::Reset() {
  std::fill(coefficients_.begin(), coefficients_.end(), std::int16_t{0});
  std::fill(history_.begin(), history_.begin() + order_, std::int16_t{0});
  std::fill(steps_.begin(), steps_.begin() + order_, std::int16_t{0});
  position_ = 0;
  average_ = 0;
}

std::int32_t NNFilter::Compress(std::int32_t input) {
  const std::int16_t* history = history_.data() + position_;
  std::int16_t* steps = steps_.data() + position_;
  const std::int32_t dot = kernels_.dot(coefficients_.data(), history, order_);
  const std::int64_t prediction = (static_cast<std::int64_t>(dot) + rounding_) >> fractionBits_;
  const auto output = static_cast<std::int32_t>(static_cast<std::uint32_t>(input - prediction));
  if (output != 0) kernels_.adapt(coefficients_.data(), steps, order_, output < 0);

  // The new adaptation step grows with the input's size relative to the running average.
  const std::uint32_t magnitude = input < 0 ? 0u - static_cast<std::uint32_t>(input) : static_cast<std::uint32_t>(input);
  std::int16_t step = 0;
  if (input != 0) {
    int size = 8;
    if (magnitude > average_ + average_ / 3) size = 16;
    if (magnitude > 3 * average_) size = 32;
    step = static_cast<std::int16_t>(input > 0 ? -size : size);
  }
  average_ += static_cast<std::uint32_t>(static_cast<std::int32_t>(magnitude - average_) / 16);

  const std::size_t newest = position_ + static_cast<std::size_t>(order_);
  history_[newest] = Saturate16(input);
  steps_[newest] = step;
  steps_[newest - 1] >>= 1;
  steps_[newest - 2] >>= 1;
  steps_[newest - 8] >>= 1;
  Advance();
  return output;
}

void NNFilter::Advance() {
  ++position_;
  if (position_ + static_cast<std::size_t>(order_) == history_.size()) {
    std::memmove(history_.data(), history_.data() + position_, static_cast<std::size_t>(order_) * sizeof(std::int16_t));
    std::memmove(steps_.data(), steps_.data() + position_, static_cast<std::size_t>(order_) * sizeof(std::int16_t));
    position_ = 0;
  }
}

}  // namespace corvane::ape
