#pragma once
#include <signal.h>

#include <atomic>
#include <stop_token>
#include <thread>

#include "common/Waiting.h"

namespace corvane {

// While it lives, SIGINT, SIGTERM and SIGHUP do not end the program: the first stops the run's
// stop token, each records its number, and each wakes `waiting`, so that whatever waits there
// sees it at once. The handler only writes the number into a pipe; a thread of the guard reads
// it and does the rest. One guard at a time; the dispositions before it come back with its end.
class SignalGuard {
 public:
  explicit SignalGuard(IWaiting& waiting);
  ~SignalGuard();
  SignalGuard(const SignalGuard&) = delete;
  SignalGuard& operator=(const SignalGuard&) = delete;

  // The last signal that came, 0 while none did.
  int Signal() const { return signal_; }
  const std::atomic<int>& SignalNumber() const { return signal_; }
  std::stop_token Token() const { return stop_.get_token(); }

 private:
  void Serve();

  IWaiting& waiting_;
  std::stop_source stop_;
  std::atomic<int> signal_{0};
  int pipe_[2] = {-1, -1};
  struct sigaction previous_[3] = {};
  std::thread thread_;  // last: it starts once the pipe is there
};

}  // namespace corvane
