#include "codecs/ape/RangeEncoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace corvane::ape {
namespace {

constexpr std::uint32_t kBottom = 1u << 23;
constexpr std::uint32_t kShift = 23;
constexpr std::uint32_t kCarryBit = 0x80000000u;
constexpr std::uint32_t kEscape = 63;
constexpr std::uint32_t kSplitPivot = 65536;

// Every coding operation leaves a range of at least 2^7, so the next renormalisation emits at
// most three bytes; a residual takes at most five operations (symbol, two escape halves and a
// split base).
constexpr std::size_t kMaxBytesPerResidual = 15;
constexpr std::size_t kSpareBytes = 8;  // the flush: renormalisation, the final byte and three zeros

// Fixed model of the "overflow" part of a residual: widths of symbols 0..20 out of 65536;
// symbols 21..63 have width 1.
constexpr std::array<std::uint32_t, 21> kWidths = {19578, 16582, 12257, 7906, 4576, 2366, 1170, 536, 261, 119, 65,
                                                   31,    19,    10,    6,    3,    3,    2,    1,   1,   1};
constexpr std::uint32_t kFirstFlatCumulative = 65472;  // cumulative start of symbol s >= 21 is this + s

constexpr std::array<std::uint32_t, 22> MakeCumulative() {
  std::array<std::uint32_t, 22> cumulative{};
  for (std::size_t i = 0; i < kWidths.size(); ++i) cumulative[i + 1] = cumulative[i] + kWidths[i];
  return cumulative;
}
constexpr std::array<std::uint32_t, 22> kCumulative = MakeCumulative();

// The registers in locals and a raw output pointer, for the length of one call: nothing the
// coder writes can then alias its state.
class Coder {
 public:
  Coder(const RangeEncoder::Registers& registers, std::uint8_t* first, std::uint8_t* out)
      : r_(registers), first_(first), out_(out) {}
  const RangeEncoder::Registers& Registers() const { return r_; }
  std::uint8_t* End() const { return out_; }

  // Shifts out the top bytes of `low` until the range is above 2^23 again.
  [[gnu::always_inline]] void Normalize() {
    while (r_.range <= kBottom) {
      if (r_.low >= kCarryBit) [[unlikely]]
        Carry();
      *out_++ = static_cast<std::uint8_t>(r_.low >> kShift);
      r_.low = (r_.low << 8) & 0x7FFFFFFFu;
      r_.range <<= 8;
    }
  }

  // Adds the carry out of `low` to the bytes already written: trailing 0xFF bytes become zero
  // and the byte before them grows by one. The frame's first coded byte is zero and the
  // carry never reaches past it.
  void Carry() {
    std::uint8_t* byte = out_ - 1;
    while (*byte == 0xFF && byte != first_) *byte-- = 0;
    ++*byte;
  }

  [[gnu::always_inline]] void EncodeSymbol(std::uint32_t cumulative, std::uint32_t width) {
    Normalize();
    const std::uint32_t r = r_.range >> 16;
    r_.range = r * width;
    r_.low += r * cumulative;
  }

  void EncodeRaw16(std::uint32_t value) {
    Normalize();
    r_.range >>= 16;
    r_.low += r_.range * value;
  }

  [[gnu::always_inline]] void EncodeWithTotal(std::uint32_t value, std::uint32_t total) {
    Normalize();
    const std::uint32_t r = r_.range / total;
    r_.range = r;
    r_.low += r * value;
  }

  [[gnu::always_inline]] void EncodeResidual(std::int32_t value, ResidualState& state) {
    // Interleave signs: 0, 1, -1, 2, -2 ... -> 0, 1, 2, 3, 4 ...
    const auto magnitude = static_cast<std::uint32_t>(value);
    const std::uint32_t x = value > 0 ? 2u * magnitude - 1u : 0u - 2u * magnitude;

    const std::uint32_t pivot = std::max<std::uint32_t>(state.ksum >> 5, 1u);
    const std::uint32_t overflow = x / pivot;
    const std::uint32_t base = x - overflow * pivot;
    state.ksum += (x + 1) / 2 - ((state.ksum + 16) >> 5);

    if (overflow < kWidths.size()) {
      EncodeSymbol(kCumulative[overflow], kWidths[overflow]);
    } else {
      EncodeRareOverflow(overflow);
    }
    if (pivot < kSplitPivot) {
      EncodeWithTotal(base, pivot);
    } else {
      EncodeSplitBase(base, pivot);
    }
  }

  void EncodeRareOverflow(std::uint32_t overflow) {
    if (overflow < kEscape) {
      EncodeSymbol(kFirstFlatCumulative + overflow, 1);
      return;
    }
    EncodeSymbol(kFirstFlatCumulative + kEscape, 1);
    EncodeRaw16((overflow >> 16) & 0xFFFFu);
    EncodeRaw16(overflow & 0xFFFFu);
  }

  // A pivot too large for one operation: the high part first, then the low `shift` bits.
  void EncodeSplitBase(std::uint32_t base, std::uint32_t pivot) {
    const int shift = std::bit_width(pivot) - 16;
    EncodeWithTotal(base >> shift, (pivot >> shift) + 1);
    EncodeWithTotal(base & ((1u << shift) - 1u), 1u << shift);
  }

  void Flush() {
    Normalize();
    const std::uint32_t top = (r_.low >> kShift) + 1;
    if (top > 0xFF) Carry();
    *out_++ = static_cast<std::uint8_t>(top & 0xFF);
    for (int i = 0; i < 3; ++i) *out_++ = 0;
  }

 private:
  RangeEncoder::Registers r_;
  std::uint8_t* first_;
  std::uint8_t* out_;
};

}  // namespace

RangeEncoder::RangeEncoder(ByteBuffer& out) : out_(out), first_(out.size()) {
  out_.push_back(0);  // the byte the decoder skips
}

std::uint8_t* RangeEncoder::Reserve(std::size_t residuals) {
  const std::size_t used = out_.size();
  out_.resize(used + residuals * kMaxBytesPerResidual + kSpareBytes);
  return out_.data() + used;
}

void RangeEncoder::Commit(const std::uint8_t* end) { out_.resize(static_cast<std::size_t>(end - out_.data())); }

void RangeEncoder::Encode(const std::int32_t* values, ResidualState& state, std::size_t count) {
  Coder coder(registers_, out_.data() + first_, Reserve(count));
  ResidualState local = state;
  for (std::size_t n = 0; n < count; ++n) coder.EncodeResidual(values[n], local);
  state = local;
  registers_ = coder.Registers();
  Commit(coder.End());
}

void RangeEncoder::Encode(const std::int32_t* first, ResidualState& firstState, const std::int32_t* second,
                          ResidualState& secondState, std::size_t count) {
  Coder coder(registers_, out_.data() + first_, Reserve(2 * count));
  ResidualState a = firstState;
  ResidualState b = secondState;
  for (std::size_t n = 0; n < count; ++n) {
    coder.EncodeResidual(first[n], a);
    coder.EncodeResidual(second[n], b);
  }
  firstState = a;
  secondState = b;
  registers_ = coder.Registers();
  Commit(coder.End());
}

void RangeEncoder::Flush() {
  Coder coder(registers_, out_.data() + first_, Reserve(0));
  coder.Flush();
  registers_ = coder.Registers();
  Commit(coder.End());
}

}  // namespace corvane::ape
