#include "codecs/ape/Predictor.h"

#include <algorithm>
#include <cstddef>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CORVANE_APE_X86 1
#endif

namespace corvane::ape {
namespace {

constexpr int kPredictionShift = 10;

std::int32_t Wrap32(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

// +1 for negative, -1 for positive values: the sign convention of the coefficient updates.
std::int32_t NegativeSign(std::int32_t v) { return (v < 0) - (v > 0); }

// The fixed first-order filter: v - 31/32 of the previous value, rounded down.
std::int32_t FirstOrder(std::int32_t value, std::int32_t previous) {
  return Wrap32(static_cast<std::int64_t>(value) - ((31 * static_cast<std::int64_t>(previous)) >> 5));
}

// The prediction residual from the first-stage output and the two dot products.
template <bool kCross, Predictor::Arithmetic kArithmetic>
std::int32_t Residual(std::int32_t a, std::int64_t own, std::int64_t other) {
  if constexpr (!kCross) {
    return Wrap32(static_cast<std::int64_t>(a) - (Wrap32(own) >> kPredictionShift));
  } else if constexpr (kArithmetic == Predictor::Arithmetic::kWide) {
    return Wrap32(a - ((own + (other >> 1)) >> kPredictionShift));
  } else {
    const std::int32_t total = Wrap32(static_cast<std::int64_t>(Wrap32(own)) + (Wrap32(other) >> 1));
    return Wrap32(static_cast<std::int64_t>(a) - (total >> kPredictionShift));
  }
}

// One value of one channel, all in scalar code. The loops keep a copy of the state in locals,
// so that the compiler can hold it in registers instead of reloading it after every store.
template <bool kCross, Predictor::Arithmetic kArithmetic>
[[gnu::always_inline]] inline std::int32_t Step(Predictor::State& p, std::int32_t value, std::int32_t cross) {
  const std::int32_t a = FirstOrder(value, p.last_value);
  p.last_value = value;
  const std::int32_t deltaA = Wrap32(static_cast<std::int64_t>(p.a1) - p.a2);
  const auto& cA = p.own_coefficients;
  const std::int64_t own = static_cast<std::int64_t>(cA[0]) * p.a1 + static_cast<std::int64_t>(cA[1]) * deltaA +
                           static_cast<std::int64_t>(cA[2]) * p.delta_a1 +
                           static_cast<std::int64_t>(cA[3]) * p.delta_a2;
  std::int32_t b0 = 0;
  std::int32_t b1 = 0;
  std::int64_t other = 0;
  if constexpr (kCross) {
    b0 = FirstOrder(cross, p.last_cross);
    p.last_cross = cross;
    b1 = Wrap32(static_cast<std::int64_t>(b0) - p.last_b0);
    const auto& cB = p.cross_coefficients;
    other = static_cast<std::int64_t>(cB[0]) * b0 + static_cast<std::int64_t>(cB[1]) * b1 +
            static_cast<std::int64_t>(cB[2]) * p.delta_b1 + static_cast<std::int64_t>(cB[3]) * p.delta_b2 +
            static_cast<std::int64_t>(cB[4]) * p.delta_b3;
  }
  const std::int32_t residual = Residual<kCross, kArithmetic>(a, own, other);

  const std::int32_t g = NegativeSign(residual);
  p.own_coefficients[0] += NegativeSign(p.a1) * g;
  p.own_coefficients[1] += NegativeSign(deltaA) * g;
  p.own_coefficients[2] += NegativeSign(p.delta_a1) * g;
  p.own_coefficients[3] += NegativeSign(p.delta_a2) * g;
  p.delta_a2 = p.delta_a1;
  p.delta_a1 = deltaA;
  p.a2 = p.a1;
  p.a1 = a;
  if constexpr (kCross) {
    p.cross_coefficients[0] += NegativeSign(b0) * g;
    p.cross_coefficients[1] += NegativeSign(b1) * g;
    p.cross_coefficients[2] += NegativeSign(p.delta_b1) * g;
    p.cross_coefficients[3] += NegativeSign(p.delta_b2) * g;
    p.cross_coefficients[4] += NegativeSign(p.delta_b3) * g;
    p.delta_b3 = p.delta_b2;
    p.delta_b2 = p.delta_b1;
    p.delta_b1 = b1;
    p.last_b0 = b0;
  }
  return residual;
}

template <Predictor::Arithmetic kArithmetic>
void StereoLoop(Predictor::State& stateY, Predictor::State& stateX, const std::int32_t* ys, const std::int32_t* xs,
                std::int32_t* residualsY, std::int32_t* residualsX, std::size_t count) {
  Predictor::State y = stateY;
  Predictor::State x = stateX;
  for (std::size_t n = 0; n < count; ++n) {
    residualsY[n] = Step<true, kArithmetic>(y, ys[n], xs[n - 1]);
    residualsX[n] = Step<true, kArithmetic>(x, xs[n], ys[n]);
  }
  stateY = y;
  stateX = x;
}

// First-stage outputs in 32-bit arithmetic, so that the loops below vectorise:
// floor(31 p / 32) = p + floor(-p / 32). Exact for every previous value but -2^31, which no
// 8- or 16-bit source (nor their side channel) produces.
inline std::int32_t FirstOrder32(std::int32_t value, std::int32_t previous) {
  const auto p = static_cast<std::uint32_t>(previous);
  const auto down = static_cast<std::uint32_t>(static_cast<std::int32_t>(0u - p) >> 5);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) - p - down);
}

inline std::int32_t Difference(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// Runs of first-stage outputs of `count` inputs and their first differences, behind the ends
// of the runs before (`lastOutput` and the three latest differences) that the state holds.
// Returns the outputs; out[-1] is the one before.
std::int32_t* Stage(std::int32_t lastInput, std::int32_t lastOutput, const std::int32_t (&lastDifferences)[3],
                    const std::int32_t* inputs, std::size_t count, std::vector<std::int32_t>& outputs,
                    std::vector<std::int32_t>& differences) {
  if (outputs.size() < count + 1) {
    outputs.resize(count + 1);
    differences.resize(count + 3);
  }
  std::int32_t* out = outputs.data() + 1;
  std::int32_t* diff = differences.data() + 3;
  out[-1] = lastOutput;
  for (int i = 0; i < 3; ++i) diff[i - 3] = lastDifferences[i];
  out[0] = FirstOrder32(inputs[0], lastInput);
  for (std::size_t n = 1; n < count; ++n) out[n] = FirstOrder32(inputs[n], inputs[n - 1]);
  for (std::size_t n = 0; n < count; ++n) diff[n] = Difference(out[n], out[n - 1]);
  return out;
}

// Fills `taps` with everything of `count` values that does not depend on the residuals, and
// moves the state's histories past them. `crosses` holds the cross input of each value, or is
// null for a channel without one (its B taps stay zero).
void ComputeTaps(Predictor::State& p, const std::int32_t* values, const std::int32_t* crosses, std::size_t count,
                 Predictor::Taps& taps) {
  const std::int32_t ownHistory[3] = {p.delta_a2, p.delta_a1, Difference(p.a1, p.a2)};
  const std::int32_t* a = Stage(p.last_value, p.a1, ownHistory, values, count, taps.first, taps.first_differences);
  const std::int32_t* d = taps.first_differences.data() + 3;
  p.last_value = values[count - 1];
  p.a2 = a[static_cast<std::ptrdiff_t>(count) - 2];
  p.a1 = a[count - 1];
  p.delta_a1 = d[static_cast<std::ptrdiff_t>(count) - 2];
  p.delta_a2 = d[static_cast<std::ptrdiff_t>(count) - 3];
  if (crosses == nullptr) {
    // Zero, also where an earlier stereo run of this channel left its taps.
    taps.cross.assign(std::max(taps.cross.size(), count + 1), 0);
    taps.cross_differences.assign(std::max(taps.cross_differences.size(), count + 3), 0);
    return;
  }
  const std::int32_t crossHistory[3] = {p.delta_b3, p.delta_b2, p.delta_b1};
  const std::int32_t* b =
      Stage(p.last_cross, p.last_b0, crossHistory, crosses, count, taps.cross, taps.cross_differences);
  const std::int32_t* e = taps.cross_differences.data() + 3;
  p.last_cross = crosses[count - 1];
  p.last_b0 = b[count - 1];
  p.delta_b1 = e[count - 1];
  p.delta_b2 = e[static_cast<std::ptrdiff_t>(count) - 2];
  p.delta_b3 = e[static_cast<std::ptrdiff_t>(count) - 3];
}

#ifdef CORVANE_APE_X86
// The adaptive part of the 32-bit paths with eight of the nine taps in one vector, laid out
// as the runs of differences lie in memory: D[n-3], D[n-2], D[n-1] with a[n-1] in place of
// D[n] (the taps A3, A2, A1, A0), then E[n-3] .. E[n] (B4 .. B1). B0 stays apart.
class VectorChannel {
 public:
  __attribute__((target("avx2"))) VectorChannel(const Predictor::State& p, const Predictor::Taps& taps)
      : a_(taps.first.data() + 1),
        d_(taps.first_differences.data() + 3),
        b_(taps.cross.data() + 1),
        e_(taps.cross_differences.data() + 3),
        coefficients_(_mm256_setr_epi32(p.own_coefficients[3], p.own_coefficients[2], p.own_coefficients[1],
                                        p.own_coefficients[0], p.cross_coefficients[4], p.cross_coefficients[3],
                                        p.cross_coefficients[2], p.cross_coefficients[1])),
        first_cross_(p.cross_coefficients[0]) {}

  __attribute__((target("avx2"), always_inline)) std::int32_t Step(std::size_t n) {
    const __m128i own = _mm_blend_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d_ + n - 3)),
                                        _mm_set1_epi32(a_[n - 1]), 0b1000);
    const __m256i taps = _mm256_inserti128_si256(_mm256_castsi128_si256(own),
                                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(e_ + n - 3)), 1);
    __m256i products = _mm256_mullo_epi32(coefficients_, taps);
    products = _mm256_add_epi32(products, _mm256_shuffle_epi32(products, _MM_SHUFFLE(1, 0, 3, 2)));
    products = _mm256_add_epi32(products, _mm256_shuffle_epi32(products, _MM_SHUFFLE(2, 3, 0, 1)));
    const auto ownSum = static_cast<std::uint32_t>(_mm256_cvtsi256_si32(products));
    const std::int32_t b0 = b_[n];
    const auto other =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm256_extracti128_si256(products, 1))) +
                                  static_cast<std::uint32_t>(first_cross_) * static_cast<std::uint32_t>(b0));
    const auto total = static_cast<std::int32_t>(ownSum + static_cast<std::uint32_t>(other >> 1));
    const auto residual = static_cast<std::int32_t>(static_cast<std::uint32_t>(a_[n]) -
                                                    static_cast<std::uint32_t>(total >> kPredictionShift));
    const std::int32_t g = NegativeSign(residual);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i signs = _mm256_sub_epi32(_mm256_cmpgt_epi32(taps, zero), _mm256_cmpgt_epi32(zero, taps));
    coefficients_ = _mm256_add_epi32(coefficients_, _mm256_sign_epi32(signs, _mm256_set1_epi32(g)));
    first_cross_ += NegativeSign(b0) * g;
    return residual;
  }

  __attribute__((target("avx2"))) void Store(Predictor::State& p) const {
    alignas(32) std::int32_t c[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(c), coefficients_);
    for (int i = 0; i < 4; ++i) p.own_coefficients[i] = c[3 - i];
    for (int i = 1; i < 5; ++i) p.cross_coefficients[i] = c[8 - i];
    p.cross_coefficients[0] = first_cross_;
  }

 private:
  const std::int32_t* a_;  // first-stage outputs, a_[-1] the one before the run
  const std::int32_t* d_;  // their differences, d_[-3..-1] from before the run
  const std::int32_t* b_;  // filtered cross inputs B0
  const std::int32_t* e_;  // their differences
  __m256i coefficients_;
  std::int32_t first_cross_;  // the coefficient of B0
};

__attribute__((target("avx2"))) void VectorMono(Predictor::State& p, const Predictor::Taps& taps,
                                                std::int32_t* residuals, std::size_t count) {
  VectorChannel channel(p, taps);
  for (std::size_t n = 0; n < count; ++n) residuals[n] = channel.Step(n);
  channel.Store(p);
}

// Y and X in one loop: their adaptive parts are independent once the taps are known, so the
// processor works on both at once.
__attribute__((target("avx2"))) void VectorStereo(Predictor::State& y, const Predictor::Taps& tapsY,
                                                  Predictor::State& x, const Predictor::Taps& tapsX,
                                                  std::int32_t* residualsY, std::int32_t* residualsX,
                                                  std::size_t count) {
  VectorChannel channelY(y, tapsY);
  VectorChannel channelX(x, tapsX);
  for (std::size_t n = 0; n < count; ++n) {
    residualsY[n] = channelY.Step(n);
    residualsX[n] = channelX.Step(n);
  }
  channelY.Store(y);
  channelX.Store(x);
}
#endif

bool HasVectorUnit() {
#ifdef CORVANE_APE_X86
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

}  // namespace

Predictor::Predictor(Kernel kernel) : vector_(kernel == Kernel::kFastest && HasVectorUnit()) {}

void Predictor::CompressMono(const std::int32_t* values, std::int32_t* residuals, std::size_t count) {
#ifdef CORVANE_APE_X86
  if (vector_) {
    if (count == 0) return;
    ComputeTaps(state_, values, nullptr, count, taps_);
    VectorMono(state_, taps_, residuals, count);
    return;
  }
#endif
  State p = state_;
  for (std::size_t n = 0; n < count; ++n) residuals[n] = Step<false, Arithmetic::kWrap32>(p, values[n], 0);
  state_ = p;
}

void Predictor::CompressStereo(Predictor& y, Predictor& x, const std::int32_t* ys, const std::int32_t* xs,
                               std::int32_t* residualsY, std::int32_t* residualsX, std::size_t count,
                               Arithmetic arithmetic) {
  if (arithmetic == Arithmetic::kWide) {
    StereoLoop<Arithmetic::kWide>(y.state_, x.state_, ys, xs, residualsY, residualsX, count);
    return;
  }
#ifdef CORVANE_APE_X86
  if (y.vector_ && x.vector_) {
    if (count == 0) return;
    ComputeTaps(y.state_, ys, xs - 1, count, y.taps_);
    ComputeTaps(x.state_, xs, ys, count, x.taps_);
    VectorStereo(y.state_, y.taps_, x.state_, x.taps_, residualsY, residualsX, count);
    return;
  }
#endif
  StereoLoop<Arithmetic::kWrap32>(y.state_, x.state_, ys, xs, residualsY, residualsX, count);
}

}  // namespace corvane::ape
