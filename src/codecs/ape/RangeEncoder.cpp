#include "codecs/ape/RangeEncoder.h"

#include <algorithm>
#include <array>

namespace corvane::ape {
namespace {

constexpr std::uint32_t kBottom = 1u << 23;
constexpr std::uint32_t kShift = 23;
constexpr std::uint32_t kCarryFree = 0x7F800000u;  // below this the top byte cannot become 0xFF + carry
constexpr std::uint32_t kCarryBit = 0x80000000u;
constexpr std::uint32_t kEscape = 63;
constexpr std::uint32_t kSplitPivot = 65536;

// Fixed model of the "overflow" part of a residual: widths of symbols 0..20 out of 65536;
// symbols 21..63 have width 1.
constexpr std::array<std::uint32_t, 21> kWidths = {19578, 16582, 12257, 7906, 4576, 2366, 1170,
                                                   536,   261,   119,   65,   31,   19,   10,
                                                   6,     3,     3,     2,    1,    1,    1};
constexpr std::uint32_t kFirstFlatCumulative = 65472;  // cumulative start of symbol s >= 21 is this + s

constexpr std::array<std::uint32_t, 22> MakeCumulative() {
  std::array<std::uint32_t, 22> cumulative{};
  for (std::size_t i = 0; i < kWidths.size(); ++i) cumulative[i + 1] = cumulative[i] + kWidths[i];
  return cumulative;
}
constexpr std::array<std::uint32_t, 22> kCumulative = MakeCumulative();

}  // namespace

RangeEncoder::RangeEncoder(std::vector<std::uint8_t>& out) : out_(out) {}

void RangeEncoder::SettleCache(bool carry) {
  Emit(static_cast<std::uint8_t>(cache_ + (carry ? 1 : 0)));
  const std::uint8_t fill = carry ? 0x00 : 0xFF;
  for (; pending_ != 0; --pending_) Emit(fill);
}

void RangeEncoder::Normalize() {
  while (range_ <= kBottom) {
    if (low_ < kCarryFree || low_ >= kCarryBit) {
      SettleCache(low_ >= kCarryBit);
      cache_ = static_cast<std::uint8_t>(low_ >> kShift);
    } else {
      ++pending_;
    }
    low_ = (low_ << 8) & 0x7FFFFFFFu;
    range_ <<= 8;
  }
}

void RangeEncoder::EncodeSymbol(std::uint32_t cumulative, std::uint32_t width) {
  Normalize();
  const std::uint32_t r = range_ >> 16;
  range_ = r * width;
  low_ += r * cumulative;
}

void RangeEncoder::EncodeRaw16(std::uint32_t value) {
  Normalize();
  range_ >>= 16;
  low_ += range_ * value;
}

void RangeEncoder::EncodeWithTotal(std::uint32_t value, std::uint32_t total) {
  Normalize();
  const std::uint32_t r = range_ / total;
  range_ = r;
  low_ += r * value;
}

void RangeEncoder::EncodeResidual(std::int32_t value, ResidualState& state) {
  // Interleave signs: 0, 1, -1, 2, -2 ... -> 0, 1, 2, 3, 4 ...
  const auto magnitude = static_cast<std::uint32_t>(value);
  const std::uint32_t x = value > 0 ? 2u * magnitude - 1u : 0u - 2u * magnitude;

  const std::uint32_t pivot = std::max<std::uint32_t>(state.ksum >> 5, 1u);
  const std::uint32_t overflow = x / pivot;
  const std::uint32_t base = x - overflow * pivot;
  state.ksum += (x + 1) / 2 - ((state.ksum + 16) >> 5);

  if (overflow < kEscape) {
    if (overflow < kWidths.size()) {
      EncodeSymbol(kCumulative[overflow], kWidths[overflow]);
    } else {
      EncodeSymbol(kFirstFlatCumulative + overflow, 1);
    }
  } else {
    EncodeSymbol(kFirstFlatCumulative + kEscape, 1);
    EncodeRaw16((overflow >> 16) & 0xFFFFu);
    EncodeRaw16(overflow & 0xFFFFu);
  }

  if (pivot < kSplitPivot) {
    EncodeWithTotal(base, pivot);
  } else {
    int shift = 0;
    while ((pivot >> shift) >= kSplitPivot) ++shift;
    EncodeWithTotal(base >> shift, (pivot >> shift) + 1);
    EncodeWithTotal(base & ((1u << shift) - 1u), 1u << shift);
  }
}

void RangeEncoder::Flush() {
  Normalize();
  const std::uint32_t top = (low_ >> kShift) + 1;
  SettleCache(top > 0xFF);
  Emit(static_cast<std::uint8_t>(top & 0xFF));
  Emit(0);
  Emit(0);
  Emit(0);
}

}  // namespace corvane::ape
