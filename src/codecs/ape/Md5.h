#pragma once
// Incremental MD5 (RFC 1321). The file's checksum covers the audio data while it streams
// out and the header and seek table once they are final.

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvane::ape {

class Md5 {
 public:
  using Digest = std::array<std::uint8_t, 16>;

  Md5();
  void Update(const std::uint8_t* data, std::size_t size);
  // Completes the hash; the object must not be updated afterwards.
  Digest Final();

 private:
  void Transform(const std::uint8_t* block);

  std::array<std::uint32_t, 4> state_;
  std::array<std::uint8_t, 64> buffer_{};
  std::uint64_t total_bytes_ = 0;
};

}  // namespace corvane::ape
