#pragma once
#include <atomic>

namespace corvane {

// The Stop button's request to a running job. The button may press it from any thread; the job
// looks at it between two blocks of audio and takes it, which clears it again.
class StopRequest {
 public:
  void Request() { requested_.store(true, std::memory_order_relaxed); }
  // True when a stop was requested since the last call; the request is cleared.
  bool Take() { return requested_.exchange(false, std::memory_order_relaxed); }
  bool Pending() const { return requested_.load(std::memory_order_relaxed); }
  void Clear() { requested_.store(false, std::memory_order_relaxed); }

 private:
  std::atomic<bool> requested_{false};
};

}  // namespace corvane
