#pragma once
#include <condition_variable>
#include <mutex>

#include "common/Waiting.h"

namespace corvane {

// Waiting on a condition variable, for threads that serve no event loop. Any number of threads
// may wait at once; Wake wakes them all.
class ConditionWaiting final : public IWaiting {
 public:
  void WaitUntil(const std::function<bool()>& ready) override;
  void Wake() override;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
};

}  // namespace corvane
