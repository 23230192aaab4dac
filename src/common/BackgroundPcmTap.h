#pragma once
#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "common/PcmTap.h"

namespace corvane {

// Hands what it is fed to another tap on a thread of its own, in the same order, so that a costly
// measurement runs beside the encoder instead of after each block. Consume copies the piece and
// returns at once (waiting only while more than kMaxQueuedBytes wait). Drain returns once the
// other tap has seen everything handed over; read that tap's results only after it.
class BackgroundPcmTap final : public PcmTap {
 public:
  static constexpr qsizetype kMaxQueuedBytes = 4 * 1024 * 1024;

  explicit BackgroundPcmTap(PcmTap& inner);
  ~BackgroundPcmTap() override;  // drains, then ends the thread
  BackgroundPcmTap(const BackgroundPcmTap&) = delete;
  BackgroundPcmTap& operator=(const BackgroundPcmTap&) = delete;

  void Consume(const char* pcm, qsizetype bytes) override;
  void Restart() override;
  void Break() override;
  void Drain();

 private:
  enum class Kind { Data, Restart, Break };
  struct Item {
    Kind kind;
    QByteArray bytes;
  };
  void Push(Item item);
  void Run();

  PcmTap& inner_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Item> queue_;
  qsizetype queued_bytes_ = 0;
  bool busy_ = false;  // the thread is handing an item on
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace corvane
