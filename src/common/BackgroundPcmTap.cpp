#include "common/BackgroundPcmTap.h"

#include <utility>

namespace corvane {

BackgroundPcmTap::BackgroundPcmTap(PcmTap& inner) : inner_(inner), worker_([this] { Run(); }) {}

BackgroundPcmTap::~BackgroundPcmTap() {
  {
    std::unique_lock lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void BackgroundPcmTap::Consume(const char* pcm, qsizetype bytes) {
  if (bytes > 0) Push({Kind::Data, QByteArray(pcm, bytes)});
}

void BackgroundPcmTap::Restart() { Push({Kind::Restart, {}}); }

void BackgroundPcmTap::Break() { Push({Kind::Break, {}}); }

void BackgroundPcmTap::Push(Item item) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queued_bytes_ <= kMaxQueuedBytes; });
  queued_bytes_ += item.bytes.size();
  queue_.push_back(std::move(item));
  changed_.notify_all();
}

void BackgroundPcmTap::Drain() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void BackgroundPcmTap::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    // Everything queued is handed on before the thread ends.
    changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
    if (queue_.empty()) return;
    Item item = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    switch (item.kind) {
      case Kind::Data:
        inner_.Consume(item.bytes.constData(), item.bytes.size());
        break;
      case Kind::Restart:
        inner_.Restart();
        break;
      case Kind::Break:
        inner_.Break();
        break;
    }
    lock.lock();
    busy_ = false;
    queued_bytes_ -= item.bytes.size();
    changed_.notify_all();
  }
}

}  // namespace corvane
