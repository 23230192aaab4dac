#include "common/ConditionWaiting.h"

namespace corvane {

void ConditionWaiting::WaitUntil(const std::function<bool()>& ready) {
  // `ready` is checked under the mutex that Wake takes: a change made before Wake cannot slip in
  // between the check and the wait.
  std::unique_lock lock(mutex_);
  while (!ready()) changed_.wait(lock);
}

void ConditionWaiting::Wake() {
  { const std::lock_guard lock(mutex_); }
  changed_.notify_all();
}

}  // namespace corvane
