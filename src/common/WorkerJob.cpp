#include "common/WorkerJob.h"

namespace corvane {

WorkerJob::WorkerJob(IWaiting& waiting, std::function<void(std::stop_token)> work)
    : waiting_(waiting), thread_([this, work = std::move(work)](std::stop_token stop) {
        work(std::move(stop));
        done_ = true;
        waiting_.Wake();
      }) {}

WorkerJob::~WorkerJob() {
  thread_.request_stop();
  thread_.join();
}

void WorkerJob::Wait() {
  waiting_.WaitUntil([this] { return done_.load(); });
}

}  // namespace corvane
