// The page's tray, disc image and media-change commands.
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/WorkerJob.h"
#include "common/strings/RipperText.h"
#include "ripper/DiscImageSetting.h"
#include "ripper/RipperController.h"
#include "ripper/RipperControllerBusy.h"
#include "ripper/RipperView.h"

namespace corvane {
namespace {

QString Text(int id) { return StringTable::Text(id); }

}  // namespace

IAudioCDGrabber* RipperController::TrayGrabber() {
  if (!drives_ready_ || Busy() || drives_.empty()) return nullptr;
  IAudioCDGrabber* grabber = components_->Grabber();
  if (!grabber->IsDiscImage()) return grabber;
  ui_.SetStatusText(1, Text(text::kDiscImageHasNoTray));
  return nullptr;
}

void RipperController::EjectOrInsert() {
  IAudioCDGrabber* grabber = TrayGrabber();
  if (grabber == nullptr) return;
  {
    BusyScope busy(*this);
    playback_->Stop();
    ClearList();
    const GrabberValue<bool> open = RunOffThread(waiting_, [grabber] { return grabber->IsDoorOpen(); });
    const bool close = open.Succeeded() && *open.value;
    ui_.SetStatusText(1, Text(close ? text::kClosingTray : text::kOpeningTray));
    const GrabberResult moved = RunOffThread(waiting_, [grabber, close] { return grabber->Door(!close); });
    if (moved.Failed()) ui_.SetStatusText(1, moved.text);
  }
  RunPendingChange();
}

void RipperController::InsertDisc() {
  IAudioCDGrabber* grabber = TrayGrabber();
  if (grabber == nullptr) return;
  {
    BusyScope busy(*this);
    const GrabberResult inserted = RunOffThread(waiting_, [grabber] { return grabber->InsertDisc(); });
    if (inserted.Failed()) ui_.SetStatusText(1, inserted.text);
  }
  RunPendingChange();
}

void RipperController::OpenDiscImage(const QString& path) {
  if (Busy() || path.isEmpty()) return;
  const QString image = disc_images::Add(settings_, path);
  bool listed = false;
  {
    BusyScope busy(*this);
    if (!InitialiseDevices()) {
      ui_.SetStatusText(1, Text(text::kDevicesInitFailed));
    } else {
      for (size_t i = 0; i < drives_.size(); ++i) {
        if (disc_images::Normalised(drives_[i].path) != image) continue;
        SelectDrive(static_cast<int>(i) + 1);
        view_.SelectDriveEntry(static_cast<int>(i));
        listed = true;
        break;
      }
    }
  }
  if (listed) {
    freedb_data_present_ = false;
    LoadDisc();
  } else if (components_->Created()) {
    // The user asked for this file: the reason it is not listed is worth a box, not only a
    // status, also when it was the only device there would have been.
    const QString refusal = RefusalText(image);
    ui_.SetStatusText(1, refusal);
    ui_.ShowMessage(refusal, MessageIcon::Warning, MessageButtons::Ok);
  }
  RunPendingChange();
}

void RipperController::RemoveDiscImage(int index) {
  if (Busy() || index < 0 || index >= static_cast<int>(drives_.size()) || !drives_[index].image) return;
  disc_images::Remove(settings_, drives_[index].path);
  freedb_data_present_ = false;
  {
    BusyScope busy(*this);
    // The user emptied the list on purpose; the device box's hint says what is left to do.
    no_drives_told_ = true;
    const bool ready = InitialiseDevices();
    ui_.SetStatusText(1, Text(ready ? text::kDevicesInitialised : text::kDevicesInitFailed));
  }
  if (auto_load_ && drives_ready_ && !drives_.empty()) LoadDisc();
  RunPendingChange();
}

void RipperController::OnDiscChanged() {
  if (Busy()) {
    change_pending_ = true;
    return;
  }
  if (!drives_ready_ || drives_.empty()) return;
  IAudioCDGrabber* grabber = components_->Grabber();
  DiscState state = DiscState::None;
  {
    BusyScope busy(*this);
    state = RunOffThread(
        waiting_, [grabber] { return grabber->RefreshDisc().Succeeded() ? grabber->GetDiscState() : DiscState::None; });
  }
  ui_.SetStatusText(1, Text(state == DiscState::None ? text::kEjectDisc : text::kInsertDisc));
  freedb_data_present_ = false;
  if (auto_load_ || state == DiscState::None) {
    LoadDisc();
  } else {
    RunPendingChange();
  }
}

void RipperController::RunPendingChange() {
  if (Busy() || !change_pending_) return;
  change_pending_ = false;
  OnDiscChanged();
}

}  // namespace corvane
