#pragma once
// The byte vector coded frames are built in. Growing it leaves the new bytes uninitialised:
// the range coder sizes it for the worst case before every run of values and cuts it back
// afterwards, and zeroing that room each time would cost more than the coding it holds.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace corvane::ape {

template <typename T>
class DefaultInitAllocator : public std::allocator<T> {
 public:
  template <typename U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <typename U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using ByteBuffer = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

}  // namespace corvane::ape
