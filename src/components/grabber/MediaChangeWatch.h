#pragma once
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace corvane {

// A worker thread that asks `changed` about once an interval whether the disc in a drive was
// inserted or removed, and calls `onChange` (on the worker thread) when it was. Destruction
// stops it at once between two polls; a poll under way is waited for.
class MediaChangeWatch {
 public:
  using Poll = std::function<bool()>;

  MediaChangeWatch(Poll changed, std::function<void()> onChange,
                   std::chrono::milliseconds interval = std::chrono::seconds(1));
  ~MediaChangeWatch();
  MediaChangeWatch(const MediaChangeWatch&) = delete;
  MediaChangeWatch& operator=(const MediaChangeWatch&) = delete;

  // The poll for a machine's drive: the drive's own media-change flag, or a disc appearing or
  // going away. It opens the drive on its first call, on the worker thread, with a handle of
  // its own, so the grabber's calls never wait for it.
  static Poll DrivePoll(const QString& device);

 private:
  void Run();

  Poll changed_;
  std::function<void()> on_change_;
  std::chrono::milliseconds interval_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace corvane
