#include "codecs/ape/FrameEncoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "codecs/ape/RangeEncoder.h"

namespace corvane::ape {
namespace {

// Blocks that go through the stages together.
constexpr std::size_t kPartBlocks = 4096;

struct FilterShape {
  int order;
  int fraction_bits;
};

// NN filters of each level in the order the encoder applies them (the decoder runs them
// the other way round).
std::vector<FilterShape> FiltersOfLevel(int level) {
  switch (level) {
    case 2000:
      return {{16, 11}};
    case 3000:
      return {{64, 11}};
    case 4000:
      return {{256, 13}, {32, 10}};
    case 5000:
      return {{1280, 15}, {256, 13}, {16, 11}};
    default:
      return {};
  }
}

void AppendBigEndian32(ByteBuffer& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

}  // namespace

void FrameEncoder::Channel::Filter(std::int32_t* residuals, std::size_t count) {
  for (NNFilter& filter : filters) filter.Compress(residuals, count);
}

void FrameEncoder::Channel::Reset() {
  predictor.Reset();
  for (NNFilter& filter : filters) filter.Reset();
}

FrameEncoder::FrameEncoder(int level, int channels, int bitsPerSample)
    : channels_(channels),
      bytes_per_sample_(bitsPerSample / 8),
      stereo_arithmetic_(level >= 5000 ? Predictor::Arithmetic::kWide : Predictor::Arithmetic::kWrap32) {
  for (Channel& channel : state_) {
    for (const FilterShape& shape : FiltersOfLevel(level))
      channel.filters.emplace_back(shape.order, shape.fraction_bits);
  }
  // One more for X: the previous part's last X stays in front of the current part.
  values_[0].resize(kPartBlocks);
  values_[1].resize(kPartBlocks + 1);
  for (auto& part : residuals_) part.resize(kPartBlocks);
}

std::int32_t FrameEncoder::Sample(const std::uint8_t* pcm, std::size_t index) const {
  if (bytes_per_sample_ == 1) return static_cast<std::int32_t>(pcm[index]) - 128;
  const auto* p = pcm + 2 * index;
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

void FrameEncoder::ReadSamples(const std::uint8_t* pcm, std::size_t count, std::size_t stride, std::int32_t* to) const {
  if (bytes_per_sample_ == 1) {
    for (std::size_t n = 0; n < count; ++n) to[n] = static_cast<std::int32_t>(pcm[n * stride]) - 128;
    return;
  }
  for (std::size_t n = 0; n < count; ++n) {
    const std::uint8_t* p = pcm + 2 * n * stride;
    to[n] = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
  }
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

bool FrameEncoder::Encode(const std::uint8_t* pcm, std::uint32_t blocks, ByteBuffer& out,
                          const std::atomic<bool>* cancel) {
  const std::size_t blockBytes = static_cast<std::size_t>(channels_) * bytes_per_sample_;
  const auto crc = static_cast<std::uint32_t>(crc32_z(crc32_z(0, nullptr, 0), pcm, blocks * blockBytes)) >> 1;
  const std::uint32_t flags = ChooseFlags(pcm, blocks);
  AppendBigEndian32(out, flags != 0 ? (crc | kCrcHasFlags) : crc);
  if (flags != 0) AppendBigEndian32(out, flags);

  for (Channel& channel : state_) channel.Reset();
  RangeEncoder coder(out);
  // A silent frame codes nothing, but the decoder still expects the coder's flush.
  const std::uint32_t silent = channels_ == 1 ? kFlagFirstSilent : kFlagFirstSilent | kFlagSecondSilent;
  if ((flags & silent) != silent) {
    const bool stereo = channels_ == 2 && (flags & kFlagPseudoStereo) == 0;
    ResidualState first;
    ResidualState second;
    values_[1][0] = 0;  // the X before the frame's first block
    // The frame goes through every stage a part at a time, so that each stage runs as one
    // tight loop over data that stays in the cache.
    for (std::uint32_t done = 0; done < blocks; done += kPartBlocks) {
      if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return false;
      const std::size_t count = std::min<std::size_t>(kPartBlocks, blocks - done);
      const std::uint8_t* part = pcm + done * blockBytes;
      if (stereo) {
        EncodeStereoPart(part, count, coder, first, second);
      } else {
        EncodeMonoPart(part, count, static_cast<std::size_t>(channels_), coder, first);
      }
    }
  }
  coder.Flush();
  return true;
}

void FrameEncoder::EncodeMonoPart(const std::uint8_t* pcm, std::size_t blocks, std::size_t stride, RangeEncoder& coder,
                                  ResidualState& residuals) {
  Channel& channel = state_[0];
  ReadSamples(pcm, blocks, stride, values_[0].data());
  channel.predictor.CompressMono(values_[0].data(), residuals_[0].data(), blocks);
  channel.Filter(residuals_[0].data(), blocks);
  coder.Encode(residuals_[0].data(), residuals, blocks);
}

void FrameEncoder::EncodeStereoPart(const std::uint8_t* pcm, std::size_t blocks, RangeEncoder& coder,
                                    ResidualState& residualsY, ResidualState& residualsX) {
  std::int32_t* ys = values_[0].data();
  std::int32_t* xs = values_[1].data() + 1;
  ReadSamples(pcm, blocks, 2, xs);
  ReadSamples(pcm + bytes_per_sample_, blocks, 2, ys);
  for (std::size_t n = 0; n < blocks; ++n) {
    // Side and mid: the decoder restores first = X - Y/2 (truncating), second = first + Y.
    ys[n] -= xs[n];
    xs[n] += ys[n] / 2;
  }
  Channel& channelY = state_[0];
  Channel& channelX = state_[1];
  Predictor::CompressStereo(channelY.predictor, channelX.predictor, ys, xs, residuals_[0].data(), residuals_[1].data(),
                            blocks, stereo_arithmetic_);
  xs[-1] = xs[blocks - 1];
  for (std::size_t i = 0; i < channelY.filters.size(); ++i) {
    NNFilter::Compress(channelY.filters[i], residuals_[0].data(), channelX.filters[i], residuals_[1].data(), blocks);
  }
  coder.Encode(residuals_[0].data(), residualsY, residuals_[1].data(), residualsX, blocks);
}

}  // namespace corvane::ape
