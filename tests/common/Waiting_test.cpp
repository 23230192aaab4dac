// The waiting primitives: both ways of waiting, the worker job, the ordered pool, the signal guard.
#include <gtest/gtest.h>
#include <signal.h>

#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/ConditionWaiting.h"
#include "common/EventLoopWaiting.h"
#include "common/OrderedWorkerPool.h"
#include "common/SignalGuard.h"
#include "common/WorkerJob.h"

namespace corvane {
namespace {

// Blocks a job until its token is stopped: proof that the stop reached it while it ran.
bool WaitForStop(const std::stop_token& stop) {
  std::mutex mutex;
  std::condition_variable_any never;
  std::unique_lock lock(mutex);
  return !never.wait(lock, stop, [] { return false; });
}

class Waiting : public testing::TestWithParam<bool> {
 protected:
  Waiting() {
    if (GetParam()) {
      waiting_ = std::make_unique<EventLoopWaiting>();
    } else {
      waiting_ = std::make_unique<ConditionWaiting>();
    }
  }
  IWaiting& waiting() { return *waiting_; }

 private:
  std::unique_ptr<IWaiting> waiting_;
};

// Many rounds back and forth: a wake lost between the check and the wait would hang one.
TEST_P(Waiting, WakeFromAnotherThreadEndsTheWait) {
  constexpr int kRounds = 200;
  std::atomic<int> asked{0};
  std::atomic<int> answered{0};
  ConditionWaiting other;
  std::thread answerer([&] {
    for (int round = 1; round <= kRounds; ++round) {
      other.WaitUntil([&] { return asked >= round; });
      answered = round;
      waiting().Wake();
    }
  });
  for (int round = 1; round <= kRounds; ++round) {
    asked = round;
    other.Wake();
    waiting().WaitUntil([&] { return answered >= round; });
  }
  answerer.join();
  EXPECT_EQ(answered, kRounds);
}

TEST_P(Waiting, WorkerJobSeesItsStopWhileRunningAndWakesAtItsEnd) {
  std::atomic<bool> started{false};
  std::atomic<bool> stopped{false};
  WorkerJob job(waiting(), [&](std::stop_token stop) {
    started = true;
    waiting().Wake();
    stopped = WaitForStop(stop);
  });
  waiting().WaitUntil([&] { return started.load(); });
  EXPECT_FALSE(job.Done());
  job.RequestStop();
  job.Wait();
  EXPECT_TRUE(stopped);
  EXPECT_NE(RunOffThread(waiting(), [] { return std::this_thread::get_id(); }), std::this_thread::get_id());
}

// Jobs end out of order (the first waits for the third) and come back in order, on this thread;
// entries known without work keep their place.
TEST_P(Waiting, PoolHandsResultsOverInSubmissionOrder) {
  std::vector<int> taken;
  const std::thread::id caller = std::this_thread::get_id();
  bool onCaller = true;
  OrderedWorkerPool<int> pool(3, waiting(), [&](int& result) {
    taken.push_back(result);
    onCaller = onCaller && std::this_thread::get_id() == caller;
  });
  std::atomic<bool> thirdEnded{false};
  ConditionWaiting jobs;
  pool.Submit([&](int, std::stop_token) {
    jobs.WaitUntil([&] { return thirdEnded.load(); });
    return 0;
  });
  pool.Submit([](int, std::stop_token) { return 1; });
  pool.Add(2);
  pool.Submit([&](int, std::stop_token) {
    thirdEnded = true;
    jobs.Wake();
    return 3;
  });
  pool.WaitForRoom(0);  // every job has ended: what is due has been handed over
  EXPECT_EQ(taken, (std::vector<int>{0, 1, 2, 3}));
  for (int value = 4; value < 12; ++value) pool.Submit([value](int, std::stop_token) { return value; });
  pool.Finish();
  EXPECT_EQ(taken, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_TRUE(onCaller);
}

// An interruption seen while waiting stops the running job and the queued ones, which still
// give their results.
TEST_P(Waiting, InterruptedPoolStopsRunningAndQueuedJobs) {
  std::vector<bool> stopped;
  OrderedWorkerPool<bool> pool(1, waiting(), [&](bool& result) { stopped.push_back(result); });
  std::atomic<bool> running{false};
  pool.Submit([&](int, std::stop_token stop) {
    running = true;
    waiting().Wake();
    return WaitForStop(stop);
  });
  for (int i = 0; i < 2; ++i) pool.Submit([](int, std::stop_token stop) { return stop.stop_requested(); });
  pool.Finish([&] { return running.load(); });
  EXPECT_EQ(stopped, (std::vector<bool>{true, true, true}));
}

TEST_P(Waiting, SignalGuardStopsAndWakesThenGivesTheSignalBack) {
  struct sigaction before = {};
  ::sigaction(SIGINT, nullptr, &before);
  {
    SignalGuard guard(waiting());
    EXPECT_EQ(guard.Signal(), 0);
    ASSERT_EQ(::raise(SIGINT), 0);
    waiting().WaitUntil([&] { return guard.Signal() != 0; });
    EXPECT_EQ(guard.Signal(), SIGINT);
    EXPECT_TRUE(guard.Token().stop_requested());
  }
  struct sigaction after = {};
  ::sigaction(SIGINT, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

INSTANTIATE_TEST_SUITE_P(Both, Waiting, testing::Values(false, true), [](const testing::TestParamInfo<bool>& param) {
  return param.param ? std::string("EventLoop") : std::string("Condition");
});

// The window's waiting serves its own thread's events meanwhile, and what they do may wait in
// turn: a timer of this thread runs a drive call off the thread, which meets the outer wait's
// condition while the inner wait runs. The outer wait ends once the inner one has.
TEST(EventLoopWaiting, ServesTheThreadsEventsAndNestedWaits) {
  EventLoopWaiting waiting;
  std::atomic<bool> outerReady{false};
  int answer = 0;
  QTimer::singleShot(0, [&] {
    answer = RunOffThread(waiting, [&] {
      outerReady = true;
      waiting.Wake();
      return 42;
    });
  });
  waiting.WaitUntil([&] { return outerReady.load(); });
  EXPECT_EQ(answer, 42);
}

}  // namespace
}  // namespace corvane
