// The grabber's track reading: the grab settings, a whole track grabbed into a file through the
// encoder object with its progress events, and the sector reads the CD player asks for.
#include <algorithm>

#include "common/strings/RipperText.h"
#include "components/grabber/CdioGrabber.h"
#include "components/grabber/CdioGrabberEvents.h"

namespace corvane {
using namespace grabber_events;
namespace {

constexpr int kMaxRetries = 99;
constexpr int kSeekFromTrackStart = 1;

}  // namespace

void CdioGrabber::SetGrabMode(int mode) {
  std::lock_guard lock(mutex_);
  read_settings_.grab_mode = std::clamp(mode, 0, 4);
}

void CdioGrabber::SetErrorAction(int action) {
  std::lock_guard lock(mutex_);
  read_settings_.error_action = std::clamp(action, 0, 2);
}

void CdioGrabber::SetRetries(int retries) {
  std::lock_guard lock(mutex_);
  read_settings_.retries = std::clamp(retries, 0, kMaxRetries);
}

int CdioGrabber::GetRetries() const {
  std::lock_guard lock(mutex_);
  return read_settings_.retries;
}

void CdioGrabber::SetReadOffset(int samples) {
  std::lock_guard lock(mutex_);
  read_settings_.read_offset = samples;
}

void CdioGrabber::SetPcmTap(PcmTap* tap) {
  std::lock_guard lock(mutex_);
  tap_ = tap;
}

GrabberResult CdioGrabber::GrabTrack(const QString& path) {
  std::unique_ptr<GrabJob> previous;
  {
    std::lock_guard lock(mutex_);
    if (grab_ && grab_->Running()) return Fail(GrabberErrorCode::Busy, text::kGrabRunning);
    previous = std::move(grab_);
  }
  // The grab that ended is waited for before the next starts, so that its last event comes
  // first; it is at its end, and without the lock its event handlers cannot hold it up.
  Retire(std::move(previous));
  std::lock_guard lock(mutex_);
  if (grab_) return Fail(GrabberErrorCode::Busy, text::kGrabRunning);
  if (!encoder_) return Fail(GrabberErrorCode::Unsupported, text::kGrabNoEncoder);
  const DriveEntry* drive = CurrentDrive();
  const DiscToc::Track* track = CurrentTrack();
  if (drive == nullptr || toc_.state != DiscState::Present || track == nullptr)
    return Fail(GrabberErrorCode::NoDisc, text::kNoDisc);
  if (track->type != CdTrackType::Audio) return Fail(GrabberErrorCode::NotAudio, text::kNotAudioTrack, {track->number});
  auto job = std::make_unique<GrabJob>(
      *encoder_,
      [this](int percent) {
        emit Event(ComponentEvent{kGrabProgressEvent, 0, 0, double(percent)});
      },
      [this](int attempts) {
        emit Event(ComponentEvent{kReadRetriesEvent, attempts});
      });
  const GrabSource source{drive->path, drive->image, track->lsn, track->sectors, read_settings_, tap_};
  if (const GrabberResult opened = job->Open(source, path); opened.Failed()) return opened;
  grab_ = std::move(job);
  grab_->Launch();
  return GrabberResult::Success();
}

void CdioGrabber::AbortGrab() {
  std::lock_guard lock(mutex_);
  if (grab_) grab_->Abort();
}

GrabberResult CdioGrabber::GetGrabResult() const {
  std::lock_guard lock(mutex_);
  return grab_ ? grab_->Outcome() : last_grab_;
}

int CdioGrabber::GetGrabReadErrors() const {
  std::lock_guard lock(mutex_);
  return grab_ ? grab_->UnreadableSectors() : last_grab_read_errors_;
}

void CdioGrabber::StopGrab() {
  std::unique_ptr<GrabJob> job;
  {
    std::lock_guard lock(mutex_);
    // Told to stop before it stops counting as the running grab.
    if (grab_) grab_->Abort();
    job = std::move(grab_);
  }
  Retire(std::move(job));
}

void CdioGrabber::Retire(std::unique_ptr<GrabJob> job) {
  if (!job) return;
  job->Wait();
  std::lock_guard lock(mutex_);
  last_grab_ = job->Outcome();
  last_grab_read_errors_ = job->UnreadableSectors();
}

GrabberResult CdioGrabber::OpenTrack() {
  std::lock_guard lock(mutex_);
  reader_.reset();
  const DiscToc::Track* track = CurrentTrack();
  if (track == nullptr || !disc_) return Fail(GrabberErrorCode::InvalidTrack, text::kNoSuchTrack, {track_ + 1});
  if (track->type != CdTrackType::Audio) return Fail(GrabberErrorCode::NotAudio, text::kNotAudioTrack, {track->number});
  auto reader = std::make_unique<TrackReader>(*disc_, track->lsn, track->sectors, read_settings_);
  if (const GrabberResult opened = reader->Open(); opened.Failed()) return opened;
  reader_ = std::move(reader);
  return GrabberResult::Success();
}

GrabberResult CdioGrabber::ReadSectors(int sectors, QByteArray& buffer) {
  std::lock_guard lock(mutex_);
  buffer.clear();
  if (!reader_) return Fail(GrabberErrorCode::NotOpen, text::kNoTrackOpen);
  return reader_->Read(sectors, buffer);
}

GrabberResult CdioGrabber::Seek(int sector, int origin) {
  std::lock_guard lock(mutex_);
  if (!reader_) return Fail(GrabberErrorCode::NotOpen, text::kNoTrackOpen);
  if (origin != kSeekFromTrackStart) return Fail(GrabberErrorCode::Unsupported, text::kSeekOriginUnsupported);
  return reader_->Seek(sector);
}

GrabberResult CdioGrabber::CloseTrack() {
  std::lock_guard lock(mutex_);
  reader_.reset();
  return GrabberResult::Success();
}

}  // namespace corvane
