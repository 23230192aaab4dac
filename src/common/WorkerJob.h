#pragma once
#include <atomic>
#include <functional>
#include <optional>
#include <stop_token>
#include <thread>
#include <type_traits>
#include <utility>

#include "common/Waiting.h"

namespace corvane {

// Runs one function on a thread of its own. The function sees a stop request through its
// std::stop_token; its end wakes `waiting`, so the caller waits for it with Wait() or within a
// condition of its own. Destroying the job asks it to stop and waits for the function to return.
class WorkerJob {
 public:
  WorkerJob(IWaiting& waiting, std::function<void(std::stop_token)> work);
  ~WorkerJob();
  WorkerJob(const WorkerJob&) = delete;
  WorkerJob& operator=(const WorkerJob&) = delete;

  void RequestStop() { thread_.request_stop(); }
  bool Done() const { return done_; }
  // Waits (on `waiting`) until the function has returned.
  void Wait();

 private:
  IWaiting& waiting_;
  std::atomic<bool> done_{false};
  std::jthread thread_;  // last: it ends before the members it uses
};

// Runs `work` off the calling thread and waits for its result on `waiting`. For calls that may
// take seconds to answer (a drive); whatever the wait serves meanwhile must not touch what `work` uses.
template <typename Work>
auto RunOffThread(IWaiting& waiting, Work&& work) -> std::invoke_result_t<Work> {
  std::optional<std::invoke_result_t<Work>> value;
  {
    WorkerJob job(waiting, [&value, &work](std::stop_token) { value.emplace(work()); });
    job.Wait();
  }
  return std::move(*value);
}

}  // namespace corvane
