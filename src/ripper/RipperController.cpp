#include "ripper/RipperController.h"
#include "ripper/RipperControllerBusy.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/WorkerJob.h"
#include "common/strings/RipperText.h"
#include "components/grabber/TypeNames.h"
#include "ripper/DiscImageSetting.h"
#include "ripper/DiscMetadata.h"
#include "ripper/RipperView.h"
#include "ripper/TrackTexts.h"

namespace corvane {
namespace {

const char* const kSection = keys::section::kRip;
constexpr int kCheckingPercent = 33;
constexpr int kLoadingPercent = 66;
constexpr int kDonePercent = 100;

QString Text(int id) { return StringTable::Text(id); }

// What listing the drives found, read on the worker thread.
struct DriveListing {
  GrabberResult status;
  QStringList rejected;
  QStringList reasons;  // for each rejected image, why
  std::vector<DriveChoice> drives;
};

}  // namespace

RipperController::RipperController(SettingsStore& settings, IUserInterface& ui, IRipperView& view,
                                   ComponentFactories factories)
    : settings_(settings), ui_(ui), view_(view) {
  components_ = std::make_unique<RipperComponents>(*this, *this, std::move(factories));
  playback_ = std::make_unique<TrackPlayback>(ui_, view_, *components_, [this] { return Busy(); });
  query_ = std::make_unique<FreedbQuery>(settings_, ui_);
  query_->SetCancelled([this] {
    // The grabber forgot what an earlier look-up found; the fields keep showing it until a load.
    freedb_data_present_ = false;
    RunPendingChange();
  });
}

RipperController::~RipperController() {
  query_->Abandon();
  playback_->Stop();
  components_->Release();
}

void RipperController::InitialisePage(const std::function<void()>& fillControls) {
  initialising_ = true;
  auto_load_ = settings_.ReadNumberOrStore(kSection, keys::kDiscAutoLoad, 0) != 0;
  settings_.ReadText(kSection, keys::kOutputFolder);
  settings_.ReadTextOrStore(kSection, keys::kOutputQualityName, QStringLiteral("CD Quality"));
  settings_.ReadTextOrStore(kSection, keys::kOutputName, Text(text::kDefaultOutputName));
  {
    std::unique_ptr<IProgressWindow> progress = ui_.OpenProgressWindow(QString());
    progress->SetCancelEnabled(false);
    progress->SetText(Text(text::kLoadingQualities));
    if (fillControls) fillControls();
    view_.SetFreedbEnabled(false);
    view_.SetStepButtonsEnabled(false);
    view_.SetSliderValue(0);
    view_.SetPositionText(QString());
    progress->SetText(Text(text::kInitialisingDevices));
    const bool ready = InitialiseDevices();
    ui_.SetStatusText(1, Text(ready ? text::kDevicesInitialised : text::kDevicesInitFailed));
    if (ready && auto_load_) {
      progress->SetText(Text(text::kLoadingTracks));
      LoadDisc();
    }
  }
  initialising_ = false;
  RunPendingChange();
}

bool RipperController::InitialiseDevices() {
  BusyScope busy(*this);
  ui_.SetStatusText(1, Text(text::kInitialisingDevices));
  view_.SetDriveControlsEnabled(false);
  drives_ready_ = false;
  playback_->Stop();
  // The rows belong to a disc the new components have not read.
  ClearList();
  drives_.clear();
  view_.SetDriveEntries({});
  const bool created = components_->Create();
  if (components_changed_) components_changed_();
  if (!created) {
    Tell(Text(text::kCoreComponentsFailed), MessageIcon::Error);
    return false;
  }
  IAudioCDGrabber* grabber = components_->Grabber();
  grabber->SetDiscImages(disc_images::Read(settings_));
  DriveListing listing = RunOffThread(waiting_, [grabber] {
    DriveListing found;
    found.status = grabber->InitDevices();
    found.rejected = grabber->GetRejectedDiscImages();
    found.reasons = grabber->GetRejectionReasons();
    if (found.status.Succeeded()) found.drives = ReadDriveEntries(*grabber);
    return found;
  });
  DropRejectedImages(listing.rejected, listing.reasons);
  if (listing.status.Failed()) {
    // Told once: a machine without drives would otherwise hear it at every load.
    if (!no_drives_told_) Tell(Text(text::kNoDrivesDetected), MessageIcon::Error);
    no_drives_told_ = true;
    return false;
  }
  drives_ = std::move(listing.drives);
  QStringList entries;
  for (const DriveChoice& drive : drives_) entries << drive.text;
  view_.SetDriveEntries(entries);
  if (drives_.empty()) {
    if (!no_drives_told_) Tell(Text(text::kNoAppropriateDrives), MessageIcon::Warning);
    no_drives_told_ = true;
  } else {
    const int count = static_cast<int>(drives_.size());
    const int drive = std::clamp(settings_.ReadNumber(kSection, keys::kRipDevice, 1), 1, count);
    SelectDrive(drive);
    view_.SelectDriveEntry(drive - 1);
    no_drives_told_ = false;
  }
  view_.SetDriveControlsEnabled(true);
  drives_ready_ = true;
  return true;
}

void RipperController::DropRejectedImages(const QStringList& rejected, const QStringList& reasons) {
  refusals_.clear();
  for (qsizetype i = 0; i < rejected.size(); ++i) {
    const QString& path = rejected[i];
    disc_images::Remove(settings_, path);
    refusals_.insert(disc_images::Normalised(path), reasons.value(i));
    ui_.SetStatusText(1, RefusalText(path));
  }
}

QString RipperController::RefusalText(const QString& path) const {
  const QString reason = refusals_.value(disc_images::Normalised(path));
  if (!reason.isEmpty()) return reason;
  const int missing = QFileInfo::exists(path) ? text::kDiscImageUnreadable : text::kDiscImageMissing;
  return StringTable::Format(missing, {path});
}

void RipperController::SelectDrive(int drive) {
  IAudioCDGrabber* grabber = components_->Grabber();
  if (grabber == nullptr || drive < 1 || drive > grabber->GetDriveCount()) return;
  (void)RunOffThread(waiting_, [grabber, drive] { return grabber->SetCurrentDrive(drive); });
  settings_.WriteNumber(kSection, keys::kRipDevice, drive);
}

void RipperController::DriveEntryChanged(int index) {
  if (!drives_ready_ || drives_.empty() || Busy() || index < 0) return;
  {
    BusyScope busy(*this);
    playback_->Stop();
    SelectDrive(index + 1);
  }
  freedb_data_present_ = false;
  if (auto_load_) {
    LoadDisc();
  } else {
    ClearList();
  }
  RunPendingChange();
}

void RipperController::SetAutoLoad(bool on) {
  auto_load_ = on;
  settings_.WriteNumber(kSection, keys::kDiscAutoLoad, on ? 1 : 0);
  if (on) LoadDisc();
}

void RipperController::ClearList() {
  view_.ClearRows();
  view_.SetStepButtonsEnabled(false);
  view_.SetFreedbEnabled(false);
  view_.SetDiscFields({}, {}, {}, 0);
  playback_->ResetToRow(0);
}

void RipperController::SetRipRunning(bool running) {
  if (rip_running_ == running) return;
  rip_running_ = running;
  // A disc change during the rip is served now.
  if (!running) RunPendingChange();
}

void RipperController::LoadDisc() {
  if (Busy()) return;
  {
    BusyScope busy(*this);
    if (!LoadAndReport()) FailLoad();
  }
  if (!initialising_) ShowPendingTips();
  RunPendingChange();
}

bool RipperController::LoadAndReport() {
  ui_.SetStatusText(1, Text(text::kLoadingTracks));
  if (!drives_ready_) {
    if (!InitialiseDevices()) {
      ui_.SetStatusText(1, Text(text::kDevicesInitFailed));
      // Without a drive the button would do nothing visible; the way to a disc image is named.
      if (no_drives_told_) Tell(Text(text::kNoDriveToLoad), MessageIcon::Information);
      return true;
    }
    ui_.SetStatusText(1, Text(text::kDevicesInitialised));
    SelectDrive(view_.DriveEntryIndex() + 1);
  }
  std::unique_ptr<IProgressWindow> progress = ui_.OpenProgressWindow(QString());
  progress->SetCancelEnabled(false);
  progress->SetRange(0, kDonePercent);
  progress->SetText(Text(text::kCheckingDisc));
  progress->SetPosition(kCheckingPercent);
  view_.SetFreedbEnabled(false);
  playback_->Stop();
  view_.SetDriveControlsEnabled(false);
  ClearList();
  view_.SetDiscFields({}, {}, {}, 0);
  disc_ = {};
  tips_due_ = false;
  if (drives_.empty()) {
    // Nothing to read: the page says so as it does for an empty drive.
    view_.SetDriveControlsEnabled(true);
    ui_.SetStatusText(1, Text(text::kNoDisc));
    Tell(Text(text::kNoDriveToLoad), MessageIcon::Information);
    return true;
  }
  IAudioCDGrabber* grabber = components_->Grabber();
  disc_ = RunOffThread(waiting_, [grabber] { return ReadDisc(*grabber); });
  const DiscReading& disc = disc_;
  view_.SetDriveControlsEnabled(true);
  // An image whose file went away reads as an empty drive, not as a broken one.
  if (disc.status.code == GrabberErrorCode::NoDisc || (disc.status.Succeeded() && disc.state == DiscState::None)) {
    ui_.SetStatusText(1, Text(text::kNoDisc));
    return true;
  }
  if (disc.status.Failed()) return false;
  if (disc.sessions <= 0) {
    ui_.SetStatusText(1, Text(text::kEmptyDisc));
    ui_.ShowCaptionedMessage(Text(text::kEmptyDisc), Text(text::kEmptyDiscMessage), MessageIcon::Warning,
                             MessageButtons::Ok);
    return true;
  }
  if (disc.state == DiscState::Unrecognised) {
    ui_.SetStatusText(1, Text(text::kUnrecognisedDisc));
    return true;
  }
  const bool autoQuery = settings_.ReadNumber(keys::section::kFreeDb, keys::kAutoQuery, 0) != 0;
  if (autoQuery) StartQuery();
  progress->SetText(Text(text::kLoadingCdText));
  progress->SetPosition(kLoadingPercent);
  LoadRows();
  progress->SetText(Text(text::kUpdatingTracks));
  progress->SetPosition(kDonePercent);
  playback_->ResetToRow(0);
  if (view_.RowCount() == 0) {
    view_.SetStepButtonsEnabled(false);
    ui_.SetStatusText(1, Text(text::kNoDisc));
    return true;
  }
  view_.SetStepButtonsEnabled(true);
  view_.SetFreedbEnabled(true);
  // An image is no medium of its own; calling it a CD-ROM would say a drive was read.
  const QString medium = grabber->IsDiscImage() ? Text(text::kDiscImageDriveText) : MediaTypeName(disc.media_type);
  ui_.SetStatusText(1, StringTable::Format(text::kDiscLoaded, {medium, static_cast<qulonglong>(disc.disc_id)}));
  tips_due_ = !autoQuery && !freedb_data_present_ &&
              settings_.ReadNumber(keys::section::kDialogToggle, keys::kFreeDbTips, 1) == 1;
  return true;
}

void RipperController::LoadRows() {
  IAudioCDGrabber* grabber = components_->Grabber();
  const int rows = static_cast<int>(disc_.tracks.size());
  const DiscMetadata metadata =
      freedb_data_present_ && grabber != nullptr
          ? RunOffThread(waiting_, [grabber, rows] { return ReadLookupMetadata(*grabber, rows); })
          : ReadCdTextTitles(disc_.cd_text);
  view_.SetDiscFields(metadata.artist, metadata.album, metadata.year, metadata.genre_entry);
  view_.ClearRows();
  for (int row = 0; row < rows; ++row) {
    const DiscTrack& track = disc_.tracks[static_cast<size_t>(row)];
    view_.AddRow({StringTable::Format(text::kTrackNumber, {row + 1}),
                  row < metadata.titles.size() ? metadata.titles[row] : QString(),
                  track_text::Length(track.minutes, track.seconds), Text(text::kTrackLoaded),
                  TrackTypeName(track.type)});
  }
  if (view_.RowCount() > 0) view_.FocusRow(0);
  view_.SetDriveControlsEnabled(true);
}

void RipperController::StartFreedbQuery() {
  if (!drives_ready_ || Busy() || view_.RowCount() == 0) return;
  StartQuery();
}

void RipperController::StartQuery() {
  IAudioCDGrabber* grabber = components_->Grabber();
  IFreedbClient* client = components_->FreedbClient();
  if (grabber == nullptr || client == nullptr) return;
  playback_->Stop();
  Conclude(query_->Start(*grabber, *client));
}

void RipperController::OnFreedbState(int code) { Conclude(query_->OnState(code)); }

void RipperController::Conclude(FreedbOutcome outcome) {
  switch (outcome) {
    case FreedbOutcome::Pending:
      return;
    case FreedbOutcome::Found:
      freedb_data_present_ = true;
      LoadRows();
      break;
    case FreedbOutcome::NoMatch:
    case FreedbOutcome::Failed:
      freedb_data_present_ = false;
      view_.OpenFreedbSettings();
      break;
  }
  RunPendingChange();
}

void RipperController::Tell(const QString& text, MessageIcon icon) {
  if (initialising_) {
    held_message_ = text;
    held_icon_ = icon;
    return;
  }
  ui_.ShowMessage(text, icon, MessageButtons::Ok);
}

void RipperController::ShowPendingTips() {
  if (Busy()) return;
  if (!held_message_.isEmpty()) {
    const QString message = std::exchange(held_message_, QString());
    ui_.ShowMessage(message, held_icon_, MessageButtons::Ok);
  }
  if (!tips_due_) return;
  tips_due_ = false;
  ShowTips();
}

void RipperController::ShowTips() {
  const char* const section = keys::section::kDialogToggle;
  if (settings_.ReadNumber(section, keys::kFreeDbTips, 1) != 1) return;
  const bool dontShowAgain = view_.ShowFreedbTips(Text(text::kFreedbTip));
  settings_.WriteNumber(section, keys::kFreeDbTips, dontShowAgain ? 0 : 1);
}

void RipperController::FailLoad() {
  ClearList();
  view_.SetDriveControlsEnabled(true);
  const QString& reason = disc_.status.text;
  IAudioCDGrabber* grabber = components_->Grabber();
  if (grabber != nullptr && grabber->IsDiscImage() && !reason.isEmpty()) {
    // An image's reader names the file that is missing or damaged; the drive advice would not.
    ui_.SetStatusText(1, reason);
    Tell(reason, MessageIcon::Error);
    return;
  }
  ui_.SetStatusText(1, Text(text::kDiscLoadFailed));
  QString message = Text(text::kDiscLoadFailedMessage);
  if (!reason.isEmpty()) message += QStringLiteral("\n\n") + reason;
  Tell(message, MessageIcon::Error);
}

}  // namespace corvane
