#pragma once
#include <functional>

namespace corvane {

// How a thread waits for something another thread (or an event of its own loop) brings about.
// The window's thread waits on its event loop, so that it keeps repainting and taking input;
// corvane-cli's threads that serve no Qt objects wait on a condition variable.
class IWaiting {
 public:
  virtual ~IWaiting() = default;
  // Returns once `ready` holds. `ready` is checked on the waiting thread, first at once and then
  // after each Wake; it must not call Wake itself.
  virtual void WaitUntil(const std::function<bool()>& ready) = 0;
  // From any thread: the waiter checks its condition again. Call it after the change the
  // condition is to see, holding no lock the condition takes; never while the waiting is destroyed.
  virtual void Wake() = 0;
};

}  // namespace corvane
