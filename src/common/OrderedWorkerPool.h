#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>
#include <vector>

#include "common/Waiting.h"

namespace corvane {

// Runs jobs on a fixed number of worker threads and hands their results over on the thread that
// submits them, in the order they were submitted, whatever order they end in. The submitting
// thread waits on `waiting`, which every ending job wakes. A stop reaches the running jobs through
// their std::stop_token; jobs that had not started yet still run, with their token stopped, so
// that each entry gives its result.
template <typename Result>
class OrderedWorkerPool {
 public:
  // A job runs on worker `worker` (0 .. workers - 1), so it may use that worker's own tools.
  using Job = std::function<Result(int worker, std::stop_token stop)>;
  using Take = std::function<void(Result& result)>;
  // Checked while waiting: once it holds, the pool stops its jobs (a signal, a run cancelled).
  using Interrupted = std::function<bool()>;

  OrderedWorkerPool(int workers, IWaiting& waiting, Take take) : waiting_(waiting), take_(std::move(take)) {
    for (int worker = 0; worker < workers; ++worker) threads_.emplace_back([this, worker] { Work(worker); });
  }
  // Stops what runs, drops what never started, and waits for the workers: results not handed
  // over are lost. Wait for them with Finish first.
  ~OrderedWorkerPool() {
    {
      const std::lock_guard lock(mutex_);
      closing_ = true;
      queue_.clear();
    }
    stop_.request_stop();
    queued_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }
  OrderedWorkerPool(const OrderedWorkerPool&) = delete;
  OrderedWorkerPool& operator=(const OrderedWorkerPool&) = delete;

  // Queues a job; its result comes after those of every entry submitted before it.
  void Submit(Job job) {
    {
      const std::lock_guard lock(mutex_);
      queue_.emplace_back(next_++, std::move(job));
      ++unfinished_;
    }
    queued_.notify_one();
  }
  // An entry whose result is known without work, handed over in its turn.
  void Add(Result result) {
    const std::lock_guard lock(mutex_);
    ended_.emplace(next_++, std::move(result));
  }
  // Hands over what is due and waits until no more than `most` jobs are queued or running.
  void WaitForRoom(size_t most, const Interrupted& interrupted = {}) {
    WaitFor([this, most] { return unfinished_ <= most; }, interrupted);
  }
  // Hands over every result, waiting for the jobs still running.
  void Finish(const Interrupted& interrupted = {}) {
    WaitFor([this] { return handed_ == next_; }, interrupted);
  }
  // From any thread: every job's token is stopped, those running now and those still to run.
  void RequestStop() { stop_.request_stop(); }
  // Hands over the results that are next in order, without waiting.
  void HandOverDue() {
    for (;;) {
      Result result;
      {
        const std::lock_guard lock(mutex_);
        const auto due = ended_.find(handed_);
        if (due == ended_.end()) return;
        result = std::move(due->second);
        ended_.erase(due);
        ++handed_;
      }
      take_(result);
    }
  }

 private:
  void Work(int worker) {
    for (;;) {
      std::pair<size_t, Job> entry;
      {
        std::unique_lock lock(mutex_);
        queued_.wait(lock, [this] { return closing_ || !queue_.empty(); });
        if (queue_.empty()) return;
        entry = std::move(queue_.front());
        queue_.pop_front();
      }
      Result result = entry.second(worker, stop_.get_token());
      {
        const std::lock_guard lock(mutex_);
        ended_.emplace(entry.first, std::move(result));
        --unfinished_;
      }
      waiting_.Wake();
    }
  }

  // Hands over the results that are next in order; `done` is checked under the pool's lock.
  void WaitFor(const std::function<bool()>& done, const Interrupted& interrupted) {
    for (;;) {
      HandOverDue();
      if (interrupted && !stop_.stop_requested() && interrupted()) RequestStop();
      {
        const std::lock_guard lock(mutex_);
        if (done() && !ended_.contains(handed_)) return;
      }
      waiting_.WaitUntil([&] {
        if (interrupted && !stop_.stop_requested() && interrupted()) return true;
        const std::lock_guard lock(mutex_);
        return done() || ended_.contains(handed_);
      });
    }
  }

  IWaiting& waiting_;
  Take take_;
  std::stop_source stop_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<std::pair<size_t, Job>> queue_;
  std::map<size_t, Result> ended_;  // results not handed over yet, by entry number
  size_t next_ = 0;                 // the number of the next entry
  size_t handed_ = 0;               // entries handed over
  size_t unfinished_ = 0;           // jobs queued or running
  bool closing_ = false;
  std::vector<std::thread> threads_;  // last: the workers start once everything else is ready
};

}  // namespace corvane
