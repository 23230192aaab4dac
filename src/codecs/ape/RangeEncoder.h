#pragma once
// The range coder of a frame and the adaptive layout of the residuals it carries.
// The coder appends to a byte vector in the order the decoder consumes the bytes; the file
// writer swaps them into 32-bit words later.

#include <cstdint>
#include <vector>

namespace corvane::ape {

// Adaptive state of one channel's residuals; reset at every frame start.
struct ResidualState {
  std::uint32_t ksum = 16384;
};

class RangeEncoder {
 public:
  // Starts a coder that appends to `out` (the frame's CRC and flags are already there).
  explicit RangeEncoder(std::vector<std::uint8_t>& out);

  // Codes one signed residual with the channel's adaptive state.
  void EncodeResidual(std::int32_t value, ResidualState& state);

  // Ends the frame's coded part. The coder must not be used afterwards.
  void Flush();

 private:
  void Normalize();
  void Emit(std::uint8_t byte) { out_.push_back(byte); }
  void SettleCache(bool carry);
  void EncodeSymbol(std::uint32_t cumulative, std::uint32_t width);
  void EncodeRaw16(std::uint32_t value);
  void EncodeWithTotal(std::uint32_t value, std::uint32_t total);

  std::vector<std::uint8_t>& out_;
  std::uint32_t low_ = 0;
  std::uint32_t range_ = 1u << 31;
  std::uint32_t pending_ = 0;  // 0xFF bytes waiting behind cache_ for a possible carry
  std::uint8_t cache_ = 0;     // the first cached byte is the one the decoder skips
};

}  // namespace corvane::ape
