#include "components/grabber/MediaChangeWatch.h"

#include <cdio/cdio.h>
#include <cdio/device.h>
#include <cdio/disc.h>

#include <memory>

#include "common/CdioHandle.h"

namespace corvane {
namespace {

// Remembers what the last poll saw of the drive.
class DriveState {
 public:
  explicit DriveState(QString device) : device_(std::move(device)) {}

  bool Changed() {
    if (!cdio_) cdio_ = OpenCdioDevice(device_);
    if (!cdio_) return false;
    const bool flagged = cdio_get_media_changed(cdio_.get()) == 1;
    const discmode_t mode = cdio_get_discmode(cdio_.get());
    const int present = mode != CDIO_DISC_MODE_NO_INFO && mode != CDIO_DISC_MODE_ERROR ? 1 : 0;
    // The first poll only learns the state; a flag raised before the watch began is old news.
    const bool changed = present_ >= 0 && (flagged || present != present_);
    present_ = present;
    return changed;
  }

 private:
  QString device_;
  CdioHandle cdio_;
  int present_ = -1;  // not polled yet
};

}  // namespace

MediaChangeWatch::MediaChangeWatch(Poll changed, std::function<void()> onChange, std::chrono::milliseconds interval)
    : changed_(std::move(changed)), on_change_(std::move(onChange)), interval_(interval), thread_([this] { Run(); }) {}

MediaChangeWatch::~MediaChangeWatch() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

MediaChangeWatch::Poll MediaChangeWatch::DrivePoll(const QString& device) {
  auto state = std::make_shared<DriveState>(device);
  return [state] { return state->Changed(); };
}

void MediaChangeWatch::Run() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    lock.unlock();
    const bool changed = changed_();
    if (changed) on_change_();
    lock.lock();
    wake_.wait_for(lock, interval_, [this] { return stop_; });
  }
}

}  // namespace corvane
