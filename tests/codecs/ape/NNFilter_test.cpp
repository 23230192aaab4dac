// The NN filter: a plain decoder written here from the format description must undo what
// the encoder's filter does, and every vector kernel must give the same residuals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "codecs/ape/NNFilter.h"

namespace corvane::ape {
namespace {

// Decoder side of one filter, kept as simple as possible: shifting arrays, no windows.
class ReferenceDecoder {
 public:
  ReferenceDecoder(int order, int fractionBits)
      : fractionBits_(fractionBits), weights_(order), history_(order), steps_(order) {}

  std::int32_t Decode(std::int32_t residual) {
    std::uint32_t dot = 0;
    for (std::size_t j = 0; j < weights_.size(); ++j) dot += static_cast<std::uint32_t>(weights_[j] * history_[j]);
    const int sign = (residual < 0) - (residual > 0);
    for (std::size_t j = 0; j < weights_.size(); ++j) {
      weights_[j] = static_cast<std::int16_t>(weights_[j] + steps_[j] * sign);
    }
    const std::int64_t rounded =
        (static_cast<std::int64_t>(static_cast<std::int32_t>(dot)) + (1 << (fractionBits_ - 1))) >> fractionBits_;
    const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(residual + rounded));
    const std::int64_t magnitude = std::abs(static_cast<std::int64_t>(value));
    int step = 0;
    if (value != 0) {
      step = 8 << ((magnitude > 3 * average_) + (magnitude > average_ + average_ / 3));
      if (value > 0) step = -step;
    }
    average_ += (magnitude - average_) / 16;
    history_.erase(history_.begin());
    history_.push_back(static_cast<std::int16_t>(std::clamp(value, -32768, 32767)));
    steps_.erase(steps_.begin());
    steps_.push_back(static_cast<std::int16_t>(step));
    const std::size_t n = steps_.size();
    for (std::size_t age : {1u, 2u, 8u}) steps_[n - 1 - age] = static_cast<std::int16_t>(steps_[n - 1 - age] >> 1);
    return value;
  }

 private:
  int fractionBits_;
  std::int64_t average_ = 0;
  std::vector<std::int16_t> weights_, history_, steps_;
};

// Speech-like bursts, noise, silence and values beyond 16 bits (the history saturates).
std::vector<std::int32_t> Input(std::size_t count) {
  std::mt19937 random(42);
  std::normal_distribution<double> noise(0, 3000);
  std::vector<std::int32_t> input;
  for (std::size_t n = 0; n < count; ++n) {
    const std::size_t part = (n / 1500) % 4;
    double v = 0;
    if (part == 0) v = 20000 * std::sin(0.01 * n) * std::sin(0.0003 * n) + noise(random) / 10;
    if (part == 1) v = noise(random);
    if (part == 3) v = (n % 40 < 20 ? 70000 : -65535) + noise(random);
    input.push_back(static_cast<std::int32_t>(std::lround(v)));
  }
  return input;
}

TEST(NNFilter, ReferenceDecoderRestoresTheInputForEveryShape) {
  const std::vector<std::int32_t> input = Input(9000);
  for (const auto& [order, bits] : {std::pair{16, 11}, {32, 10}, {64, 11}, {256, 13}, {1280, 15}}) {
    SCOPED_TRACE(order);
    NNFilter filter(order, bits);
    ReferenceDecoder decoder(order, bits);
    std::size_t mismatches = 0;
    std::int64_t residualMagnitude = 0;
    for (int pass = 0; pass < 2; ++pass) {
      for (const std::int32_t value : input) {
        const std::int32_t residual = filter.Compress(value);
        residualMagnitude += std::abs(residual);
        mismatches += decoder.Decode(residual) != value;
      }
      filter.Reset();
      decoder = ReferenceDecoder(order, bits);
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_GT(residualMagnitude, 0);
  }
}

TEST(NNFilter, AllKernelsAgree) {
  const std::vector<std::int32_t> input = Input(12000);  // long enough for the window to wrap
  for (const auto& [order, bits] : {std::pair{16, 11}, {256, 13}, {1280, 15}}) {
    SCOPED_TRACE(order);
    NNFilter fastest(order, bits, NNFilter::Kernel::kFastest);
    NNFilter sse2(order, bits, NNFilter::Kernel::kSse2);
    NNFilter scalar(order, bits, NNFilter::Kernel::kScalar);
    std::size_t differences = 0;
    for (const std::int32_t value : input) {
      const std::int32_t expected = scalar.Compress(value);
      differences += fastest.Compress(value) != expected;
      differences += sse2.Compress(value) != expected;
    }
    EXPECT_EQ(differences, 0u);
  }
}

// The two channels' filters run in one loop; each must come out as if it had run alone, also
// over calls of uneven length during which the windows move back.
TEST(NNFilter, PairedFiltersMatchSingleOnes) {
  const std::vector<std::int32_t> input = Input(15000);
  std::vector<std::int32_t> other(input.rbegin(), input.rend());
  for (const auto& [order, bits] : {std::pair{16, 11}, {64, 11}, {1280, 15}}) {
    for (const auto kernel : {NNFilter::Kernel::kFastest, NNFilter::Kernel::kSse2, NNFilter::Kernel::kScalar}) {
      SCOPED_TRACE(testing::Message() << order << " taps, kernel " << static_cast<int>(kernel));
      NNFilter singleA(order, bits, kernel);
      NNFilter singleB(order, bits, kernel);
      NNFilter pairA(order, bits, kernel);
      NNFilter pairB(order, bits, kernel);
      std::vector<std::int32_t> expectedA = input, expectedB = other, gotA = input, gotB = other;
      singleA.Compress(expectedA.data(), expectedA.size());
      singleB.Compress(expectedB.data(), expectedB.size());
      for (std::size_t done = 0, step = 1; done < gotA.size(); done += step, step = step * 3 + 1) {
        const std::size_t count = std::min(step, gotA.size() - done);
        NNFilter::Compress(pairA, gotA.data() + done, pairB, gotB.data() + done, count);
      }
      EXPECT_EQ(gotA, expectedA);
      EXPECT_EQ(gotB, expectedB);
    }
  }
}

}  // namespace
}  // namespace corvane::ape
