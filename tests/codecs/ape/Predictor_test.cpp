// The predictor's vector code must give the residuals of its scalar code, in mono and in
// stereo, over calls of any length (the taps of a call carry over into the next).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "codecs/ape/Predictor.h"

namespace corvane::ape {
namespace {

// Full-scale noise bursts, a slow sine and silence in turn, as 16-bit side and mid values.
std::vector<std::int32_t> Signal(std::size_t count, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(-65535, 65535);
  std::vector<std::int32_t> values;
  for (std::size_t n = 0; n < count; ++n) {
    const std::size_t part = (n / 700) % 3;
    values.push_back(part == 0 ? noise(random) : part == 1 ? static_cast<std::int32_t>(30000 * std::sin(0.01 * n)) : 0);
  }
  return values;
}

// Calls of 1, 4, 13, 40 ... values until `count` are done.
template <typename Call>
void InUnevenCalls(std::size_t count, Call call) {
  for (std::size_t done = 0, step = 1; done < count; done += step, step = step * 3 + 1) {
    call(done, std::min(step, count - done));
  }
}

TEST(Predictor, VectorAndScalarCodeAgree) {
  const std::size_t count = 20000;
  const std::vector<std::int32_t> ys = Signal(count, 1);
  std::vector<std::int32_t> xs(count + 1, 0);  // xs[0] is the X before the first block
  const std::vector<std::int32_t> mid = Signal(count, 2);
  std::copy(mid.begin(), mid.end(), xs.begin() + 1);

  std::vector<std::vector<std::int32_t>> results;
  for (const Predictor::Kernel kernel : {Predictor::Kernel::kScalar, Predictor::Kernel::kFastest}) {
    Predictor mono(kernel);
    Predictor y(kernel);
    Predictor x(kernel);
    std::vector<std::int32_t> monoOut(count), yOut(count), xOut(count);
    InUnevenCalls(count, [&](std::size_t at, std::size_t n) {
      mono.CompressMono(ys.data() + at, monoOut.data() + at, n);
      Predictor::CompressStereo(y, x, ys.data() + at, xs.data() + 1 + at, yOut.data() + at, xOut.data() + at, n,
                                Predictor::Arithmetic::kWrap32);
    });
    results.push_back(monoOut);
    results.push_back(yOut);
    results.push_back(xOut);
  }
  EXPECT_EQ(results[3], results[0]) << "mono";
  EXPECT_EQ(results[4], results[1]) << "side";
  EXPECT_EQ(results[5], results[2]) << "mid";
  EXPECT_NE(results[0], ys) << "the predictor changed nothing";
}

}  // namespace
}  // namespace corvane::ape
