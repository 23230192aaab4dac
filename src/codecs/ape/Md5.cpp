#include "codecs/ape/Md5.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace corvane::ape {
namespace {

constexpr std::array<std::uint32_t, 64> kSines = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr std::array<int, 16> kShifts = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

constexpr std::uint32_t RotateLeft(std::uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

// Step I of the 64. The four words take turns as a, b, c and d; the indices are fixed at
// compile time, so the whole transform unrolls into straight code on registers.
template <int I>
[[gnu::always_inline]] inline void Step(std::uint32_t (&v)[4], const std::uint32_t* m) {
  constexpr int kRound = I / 16;
  constexpr int a = (64 - I) % 4, b = (65 - I) % 4, c = (66 - I) % 4, d = (67 - I) % 4;
  std::uint32_t f = 0;
  int g = 0;
  if constexpr (kRound == 0) {
    f = (v[b] & v[c]) | (~v[b] & v[d]);
    g = I;
  } else if constexpr (kRound == 1) {
    f = (v[d] & v[b]) | (~v[d] & v[c]);
    g = (5 * I + 1) % 16;
  } else if constexpr (kRound == 2) {
    f = v[b] ^ v[c] ^ v[d];
    g = (3 * I + 5) % 16;
  } else {
    f = v[c] ^ (v[b] | ~v[d]);
    g = (7 * I) % 16;
  }
  v[a] = v[b] + RotateLeft(v[a] + f + kSines[I] + m[g], kShifts[kRound * 4 + I % 4]);
}

template <int... I>
void Steps(std::uint32_t (&v)[4], const std::uint32_t* m, std::integer_sequence<int, I...>) {
  (Step<I>(v, m), ...);
}

}  // namespace

Md5::Md5() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void Md5::Transform(const std::uint8_t* block) {
  std::uint32_t m[16];
  for (int i = 0; i < 16; ++i) {
    m[i] = static_cast<std::uint32_t>(block[4 * i]) | (static_cast<std::uint32_t>(block[4 * i + 1]) << 8) |
           (static_cast<std::uint32_t>(block[4 * i + 2]) << 16) | (static_cast<std::uint32_t>(block[4 * i + 3]) << 24);
  }
  std::uint32_t v[4] = {state_[0], state_[1], state_[2], state_[3]};
  Steps(v, m, std::make_integer_sequence<int, 64>());
  for (int i = 0; i < 4; ++i) state_[i] += v[i];
}

void Md5::Update(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  std::size_t used = total_bytes_ % 64;
  total_bytes_ += size;
  if (used != 0) {
    const std::size_t take = std::min(size, 64 - used);
    std::memcpy(buffer_.data() + used, data, take);
    data += take;
    size -= take;
    used += take;
    if (used < 64) return;
    Transform(buffer_.data());
  }
  for (; size >= 64; data += 64, size -= 64) Transform(data);
  if (size != 0) std::memcpy(buffer_.data(), data, size);
}

Md5::Digest Md5::Final() {
  const std::uint64_t bitCount = total_bytes_ * 8;
  const std::uint8_t pad = 0x80;
  Update(&pad, 1);
  const std::uint8_t zero = 0;
  while (total_bytes_ % 64 != 56) Update(&zero, 1);
  std::array<std::uint8_t, 8> length{};
  for (int i = 0; i < 8; ++i) length[i] = static_cast<std::uint8_t>(bitCount >> (8 * i));
  Update(length.data(), length.size());
  Digest digest{};
  for (int i = 0; i < 16; ++i) digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (8 * (i % 4)));
  return digest;
}

}  // namespace corvane::ape
