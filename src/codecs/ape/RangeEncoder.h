#pragma once
// The range coder of a frame and the adaptive layout of the residuals it carries.
// The coder appends to a byte vector in the order the decoder consumes the bytes; the file
// writer swaps them into 32-bit words later.

#include <cstddef>
#include <cstdint>

#include "codecs/ape/ByteBuffer.h"

namespace corvane::ape {

// Adaptive state of one channel's residuals; reset at every frame start.
struct ResidualState {
  std::uint32_t ksum = 16384;
};

class RangeEncoder {
 public:
  // Starts a coder that appends to `out` (the frame's CRC and flags are already there).
  explicit RangeEncoder(ByteBuffer& out);

  // Codes `count` residuals of one channel.
  void Encode(const std::int32_t* values, ResidualState& state, std::size_t count);
  // Codes `count` blocks of two channels, interleaved: first[0], second[0], first[1] ...
  void Encode(const std::int32_t* first, ResidualState& firstState, const std::int32_t* second,
              ResidualState& secondState, std::size_t count);

  // Ends the frame's coded part. The coder must not be used afterwards.
  void Flush();

  // The coder's registers between calls.
  struct Registers {
    std::uint32_t low = 0;  // bit 31 is a carry still to be added to the bytes written
    std::uint32_t range = 1u << 31;
  };

 private:
  // Room in `out_` for `residuals` more values; returns where writing continues.
  std::uint8_t* Reserve(std::size_t residuals);
  void Commit(const std::uint8_t* end);

  ByteBuffer& out_;
  std::size_t first_;  // where the frame's coded bytes start in `out_`
  Registers registers_;
};

}  // namespace corvane::ape
