#include "codecs/ape/Predictor.h"

namespace corvane::ape {
namespace {

constexpr int kPredictionShift = 10;

std::int32_t Wrap32(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

// +1 for negative, -1 for positive values: the sign convention of the coefficient updates.
std::int32_t NegativeSign(std::int32_t v) { return (v < 0) - (v > 0); }

// The fixed first-order filter: v - 31/32 of the previous value, rounded down.
std::int64_t FirstOrder(std::int32_t value, std::int32_t previous) {
  return static_cast<std::int64_t>(value) - ((31 * static_cast<std::int64_t>(previous)) >> 5);
}

}  // namespace

std::int64_t Predictor::FilterInput(std::int32_t value) {
  current_ = Wrap32(FirstOrder(value, lastValue_));
  lastValue_ = value;
  return current_;
}

std::int64_t Predictor::PredictOwn() const {
  return static_cast<std::int64_t>(ownCoefficients_[0]) * a1_ +
         static_cast<std::int64_t>(ownCoefficients_[1]) * Wrap32(static_cast<std::int64_t>(a1_) - a2_) +
         static_cast<std::int64_t>(ownCoefficients_[2]) * deltaA1_ +
         static_cast<std::int64_t>(ownCoefficients_[3]) * deltaA2_;
}

void Predictor::AdaptAndShift(std::int32_t residual) {
  const std::int32_t g = NegativeSign(residual);
  const std::int32_t deltaA = Wrap32(static_cast<std::int64_t>(a1_) - a2_);
  if (g != 0) {
    ownCoefficients_[0] += NegativeSign(a1_) * g;
    ownCoefficients_[1] += NegativeSign(deltaA) * g;
    ownCoefficients_[2] += NegativeSign(deltaA1_) * g;
    ownCoefficients_[3] += NegativeSign(deltaA2_) * g;
    if (stereo_) {
      crossCoefficients_[0] += NegativeSign(b0_) * g;
      crossCoefficients_[1] += NegativeSign(b1_) * g;
      crossCoefficients_[2] += NegativeSign(deltaB1_) * g;
      crossCoefficients_[3] += NegativeSign(deltaB2_) * g;
      crossCoefficients_[4] += NegativeSign(deltaB3_) * g;
    }
  }
  deltaA2_ = deltaA1_;
  deltaA1_ = deltaA;
  a2_ = a1_;
  a1_ = current_;
  if (stereo_) {
    deltaB3_ = deltaB2_;
    deltaB2_ = deltaB1_;
    deltaB1_ = b1_;
    lastB0_ = b0_;
  }
}

std::int32_t Predictor::CompressMono(std::int32_t value) {
  stereo_ = false;
  const std::int64_t a = FilterInput(value);
  const std::int32_t residual = Wrap32(a - (static_cast<std::int64_t>(Wrap32(PredictOwn())) >> kPredictionShift));
  AdaptAndShift(residual);
  return residual;
}

std::int32_t Predictor::CompressStereo(std::int32_t value, std::int32_t cross, Arithmetic arithmetic) {
  stereo_ = true;
  const std::int64_t a = FilterInput(value);
  b0_ = Wrap32(FirstOrder(cross, lastCross_));
  lastCross_ = cross;
  b1_ = Wrap32(static_cast<std::int64_t>(b0_) - lastB0_);
  const std::int64_t crossPrediction =
      static_cast<std::int64_t>(crossCoefficients_[0]) * b0_ + static_cast<std::int64_t>(crossCoefficients_[1]) * b1_ +
      static_cast<std::int64_t>(crossCoefficients_[2]) * deltaB1_ +
      static_cast<std::int64_t>(crossCoefficients_[3]) * deltaB2_ +
      static_cast<std::int64_t>(crossCoefficients_[4]) * deltaB3_;
  const std::int64_t ownPrediction = PredictOwn();
  std::int32_t residual = 0;
  if (arithmetic == Arithmetic::kWide) {
    residual = Wrap32(a - ((ownPrediction + (crossPrediction >> 1)) >> kPredictionShift));
  } else {
    const std::int32_t total = Wrap32(static_cast<std::int64_t>(Wrap32(ownPrediction)) + (Wrap32(crossPrediction) >> 1));
    residual = Wrap32(a - (total >> kPredictionShift));
  }
  AdaptAndShift(residual);
  return residual;
}

}  // namespace corvane::ape
