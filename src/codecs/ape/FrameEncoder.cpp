#include "codecs/ape/FrameEncoder.h"

#include <zlib.h>

#include <cstring>
#include <utility>

#include "codecs/ape/RangeEncoder.h"

namespace corvane::ape {
namespace {

struct FilterShape {
  int order;
  int fractionBits;
};

// NN filters of each level in the order the encoder applies them (the decoder runs them
// the other way round).
std::vector<FilterShape> FiltersOfLevel(int level) {
  switch (level) {
    case 2000: return {{16, 11}};
    case 3000: return {{64, 11}};
    case 4000: return {{256, 13}, {32, 10}};
    case 5000: return {{1280, 15}, {256, 13}, {16, 11}};
    default: return {};
  }
}

void AppendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

}  // namespace

std::int32_t FrameEncoder::Channel::Filter(std::int32_t residual) {
  for (NNFilter& filter : filters) residual = filter.Compress(residual);
  return residual;
}

void FrameEncoder::Channel::Reset() {
  predictor.Reset();
  for (NNFilter& filter : filters) filter.Reset();
}

FrameEncoder::FrameEncoder(int level, int channels, int bitsPerSample)
    : channels_(channels),
      bytesPerSample_(bitsPerSample / 8),
      stereoArithmetic_(level >= 5000 ? Predictor::Arithmetic::kWide : Predictor::Arithmetic::kWrap32) {
  for (Channel& channel : state_) {
    for (const FilterShape& shape : FiltersOfLevel(level)) channel.filters.emplace_back(shape.order, shape.fractionBits);
  }
}

std::int32_t FrameEncoder::Sample(const std::uint8_t* pcm, std::size_t index) const {
  if (bytesPerSample_ == 1) return static_cast<std::int32_t>(pcm[index]) - 128;
  const auto* p = pcm + 2 * index;
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

std::uint32_t FrameEncoder::ChooseFlags(const std::uint8_t* pcm, std::uint32_t blocks) const {
  bool firstSilent = true;
  bool secondSilent = true;
  bool identical = true;
  for (std::uint32_t n = 0; n < blocks; ++n) {
    const std::int32_t first = Sample(pcm, static_cast<std::size_t>(n) * channels_);
    const std::int32_t second = channels_ == 2 ? Sample(pcm, static_cast<std::size_t>(n) * 2 + 1) : 0;
    firstSilent = firstSilent && first == 0;
    secondSilent = secondSilent && second == 0;
    identical = identical && first == second;
    if (!firstSilent && !identical) break;
  }
  if (channels_ == 1) return firstSilent ? kFlagFirstSilent : 0;
  // One silent channel alone is not worth a flag: the decoder would still decode both.
  if (firstSilent && secondSilent) return kFlagFirstSilent | kFlagSecondSilent;
  return identical ? kFlagPseudoStereo : 0;
}

void FrameEncoder::Encode(const std::uint8_t* pcm, std::uint32_t blocks, std::vector<std::uint8_t>& out) {
  const std::size_t bytes = static_cast<std::size_t>(blocks) * channels_ * bytesPerSample_;
  const auto crc = static_cast<std::uint32_t>(crc32_z(crc32_z(0, nullptr, 0), pcm, bytes)) >> 1;
  const std::uint32_t flags = ChooseFlags(pcm, blocks);
  AppendBigEndian32(out, flags != 0 ? (crc | kCrcHasFlags) : crc);
  if (flags != 0) AppendBigEndian32(out, flags);

  for (Channel& channel : state_) channel.Reset();
  // A silent frame codes nothing, but the decoder still expects the coder's flush.
  const std::uint32_t silent = channels_ == 1 ? kFlagFirstSilent : kFlagFirstSilent | kFlagSecondSilent;
  if ((flags & silent) == silent) {
    RangeEncoder(out).Flush();
  } else if (channels_ == 1 || (flags & kFlagPseudoStereo) != 0) {
    EncodeMono(pcm, blocks, static_cast<std::size_t>(channels_), out);
  } else {
    EncodeStereo(pcm, blocks, out);
  }
}

void FrameEncoder::EncodeMono(const std::uint8_t* pcm, std::uint32_t blocks, std::size_t stride,
                              std::vector<std::uint8_t>& out) {
  RangeEncoder coder(out);
  ResidualState residuals;
  Channel& channel = state_[0];
  for (std::uint32_t n = 0; n < blocks; ++n) {
    const std::int32_t value = Sample(pcm, n * stride);
    coder.EncodeResidual(channel.Filter(channel.predictor.CompressMono(value)), residuals);
  }
  coder.Flush();
}

void FrameEncoder::EncodeStereo(const std::uint8_t* pcm, std::uint32_t blocks, std::vector<std::uint8_t>& out) {
  RangeEncoder coder(out);
  ResidualState residualsY;
  ResidualState residualsX;
  Channel& channelY = state_[0];
  Channel& channelX = state_[1];
  std::int32_t previousX = 0;
  for (std::uint32_t n = 0; n < blocks; ++n) {
    const std::int32_t first = Sample(pcm, static_cast<std::size_t>(n) * 2);
    const std::int32_t second = Sample(pcm, static_cast<std::size_t>(n) * 2 + 1);
    // Side and mid: the decoder restores first = X - Y/2 (truncating), second = first + Y.
    const std::int32_t y = second - first;
    const std::int32_t x = first + y / 2;
    const std::int32_t residualY = channelY.Filter(channelY.predictor.CompressStereo(y, previousX, stereoArithmetic_));
    const std::int32_t residualX = channelX.Filter(channelX.predictor.CompressStereo(x, y, stereoArithmetic_));
    coder.EncodeResidual(residualY, residualsY);
    coder.EncodeResidual(residualX, residualsX);
    previousX = x;
  }
  coder.Flush();
}

}  // namespace corvane::ape
