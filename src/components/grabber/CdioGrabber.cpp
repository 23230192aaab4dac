#include "components/grabber/CdioGrabber.h"

#include <cdio/cdio.h>
#include <cdio/device.h>
#include <cdio/mmc.h>

#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <functional>

#include "common/CdioHandle.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/freedb/LookupSettings.h"
#include "components/grabber/CddbTocOf.h"
#include "components/grabber/CdioGrabberEvents.h"
#include "components/grabber/MusicBrainzToc.h"

namespace corvane {
using namespace grabber_events;
namespace {

constexpr int kFramesPerSecond = 75;

// Whether two reads found the same table of contents: the same tracks at the same places.
bool SameTable(const DiscToc& a, const DiscToc& b) {
  if (a.state != DiscState::Present || b.state != DiscState::Present || a.leadout_lsn != b.leadout_lsn ||
      a.sessions.size() != b.sessions.size())
    return false;
  for (size_t session = 0; session < a.sessions.size(); ++session) {
    const auto& x = a.sessions[session];
    const auto& y = b.sessions[session];
    if (!std::equal(x.begin(), x.end(), y.begin(), y.end(), [](const DiscToc::Track& s, const DiscToc::Track& t) {
          return s.number == t.number && s.lsn == t.lsn && s.sectors == t.sectors && s.type == t.type;
        }))
      return false;
  }
  return true;
}

}  // namespace

CdioGrabber::CdioGrabber()
    : encoder_(CreateAudioConverter()),
      last_grab_(GrabberResult::Failure(GrabberErrorCode::NotOpen, StringTable::Text(text::kNoGrabYet))) {}

CdioGrabber::~CdioGrabber() {
  // The grab and the watch first: they signal through this object.
  StopGrab();
  watch_.reset();
  if (lookup_ == nullptr) return;
  QObject::disconnect(lookup_, nullptr, nullptr, nullptr);
  if (lookup_->thread() == QThread::currentThread())
    delete lookup_;
  else
    lookup_->deleteLater();
}

void CdioGrabber::SetDiscImages(const QStringList& paths) {
  std::lock_guard lock(mutex_);
  images_ = paths;
}

GrabberResult CdioGrabber::InitDevices() {
  StopGrab();
  std::lock_guard lock(mutex_);
  watch_.reset();
  ForgetDisc();
  disc_.reset();
  current_ = 0;
  listing_ = ListDrives(images_);
  if (listing_.drives.empty()) return Fail(GrabberErrorCode::NoDrives, text::kNoDrivesOrImages);
  return GrabberResult::Success();
}

QStringList CdioGrabber::GetRejectedDiscImages() const {
  std::lock_guard lock(mutex_);
  return listing_.rejected_images;
}

QStringList CdioGrabber::GetRejectionReasons() const {
  std::lock_guard lock(mutex_);
  return listing_.rejection_reasons;
}

int CdioGrabber::GetDriveCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(listing_.drives.size());
}

GrabberResult CdioGrabber::SetCurrentDrive(int drive) {
  if (drive < 1 || drive > GetDriveCount()) return Fail(GrabberErrorCode::InvalidDrive, text::kNoSuchDrive, {drive});
  StopGrab();
  std::lock_guard lock(mutex_);
  if (drive > static_cast<int>(listing_.drives.size()))
    return Fail(GrabberErrorCode::InvalidDrive, text::kNoSuchDrive, {drive});
  watch_.reset();
  ForgetDisc();
  disc_.reset();
  current_ = drive;
  StartWatch();
  return GrabberResult::Success();
}

const DriveEntry* CdioGrabber::CurrentDrive() const {
  if (current_ < 1 || current_ > static_cast<int>(listing_.drives.size())) return nullptr;
  return &listing_.drives[static_cast<size_t>(current_ - 1)];
}

QString CdioGrabber::GetDriveId() const {
  std::lock_guard lock(mutex_);
  const DriveEntry* drive = CurrentDrive();
  return drive != nullptr ? drive->id : QString();
}

QString CdioGrabber::GetDriveText1() const {
  std::lock_guard lock(mutex_);
  const DriveEntry* drive = CurrentDrive();
  return drive != nullptr ? drive->text1 : QString();
}

QString CdioGrabber::GetDriveText2() const {
  std::lock_guard lock(mutex_);
  const DriveEntry* drive = CurrentDrive();
  return drive != nullptr ? drive->text2 : QString();
}

QString CdioGrabber::GetDrivePath() const {
  std::lock_guard lock(mutex_);
  const DriveEntry* drive = CurrentDrive();
  return drive != nullptr ? drive->path : QString();
}

bool CdioGrabber::IsDiscImage() const {
  std::lock_guard lock(mutex_);
  const DriveEntry* drive = CurrentDrive();
  return drive != nullptr && drive->image;
}

GrabberResult CdioGrabber::CheckTray() const {
  const DriveEntry* drive = CurrentDrive();
  if (drive == nullptr) return Fail(GrabberErrorCode::InvalidDrive, text::kNoDriveChosen);
  if (drive->image) return Fail(GrabberErrorCode::NoTray, text::kDiscImageHasNoTray);
  return GrabberResult::Success();
}

GrabberValue<bool> CdioGrabber::IsDoorOpen() {
  std::lock_guard lock(mutex_);
  if (const GrabberResult tray = CheckTray(); tray.Failed()) return {std::nullopt, tray};
  const CdioHandle drive = OpenCdioDevice(CurrentDrive()->path);
  const int status = drive ? mmc_get_tray_status(drive.get()) : -1;
  if (status != 0 && status != 1)
    return GrabberValue<bool>::Failure(GrabberErrorCode::Unsupported, StringTable::Text(text::kTrayStatusUnknown));
  return GrabberValue<bool>::Success(status == 1);
}

GrabberResult CdioGrabber::Door(bool open) {
  {
    std::lock_guard lock(mutex_);
    if (const GrabberResult tray = CheckTray(); tray.Failed()) return tray;
  }
  StopGrab();
  std::lock_guard lock(mutex_);
  if (const GrabberResult tray = CheckTray(); tray.Failed()) return tray;
  // The disc goes with the tray; the drive is reopened for the next look at it.
  ForgetDisc();
  disc_.reset();
  const QByteArray device = QFile::encodeName(CurrentDrive()->path);
  driver_id_t driver = DRIVER_DEVICE;
  const driver_return_code_t status =
      open ? cdio_eject_media_drive(device.constData()) : cdio_close_tray(device.constData(), &driver);
  if (status != DRIVER_OP_SUCCESS) return Fail(GrabberErrorCode::DeviceError, text::kTrayFailed);
  return GrabberResult::Success();
}

GrabberResult CdioGrabber::InsertDisc() { return Door(false); }

void CdioGrabber::ForgetDisc() {
  DropLookup();
  reader_.reset();
  toc_ = DiscToc();
  session_ = 0;
  track_ = 0;
}

GrabberResult CdioGrabber::RefreshDisc() {
  std::lock_guard lock(mutex_);
  const DriveEntry* drive = CurrentDrive();
  if (drive == nullptr) return Fail(GrabberErrorCode::InvalidDrive, text::kNoDriveChosen);
  // Reading the same disc again keeps what its last look-up found.
  const DiscToc previous = toc_;
  std::optional<CddbEntry> found = entry_;
  ForgetDisc();
  // Opened afresh: a drive keeps the table it read until it is closed, and an image file may
  // have been replaced or removed since.
  disc_.reset();
  if (drive->image && !QFileInfo::exists(drive->path))
    return Fail(GrabberErrorCode::NoDisc, text::kDiscImageGone, {drive->path});
  DiscOpenResult opened = OpenDisc(drive->path);
  if (!opened.Succeeded()) return GrabberResult::Failure(GrabberErrorCode::DeviceError, opened.status.text);
  disc_ = std::move(*opened.value);
  toc_ = ReadDiscToc(*disc_);
  if (toc_.state == DiscState::None) return Fail(GrabberErrorCode::NoDisc, text::kNoDisc);
  if (SameTable(previous, toc_)) entry_ = std::move(found);
  return GrabberResult::Success();
}

DiscState CdioGrabber::GetDiscState() const {
  std::lock_guard lock(mutex_);
  return toc_.state;
}

int CdioGrabber::GetMediaType() const {
  std::lock_guard lock(mutex_);
  return toc_.media_type;
}

quint32 CdioGrabber::GetDiscId() const {
  std::lock_guard lock(mutex_);
  return toc_.disc_id;
}

QStringList CdioGrabber::GetCdText() const {
  std::lock_guard lock(mutex_);
  return toc_.cd_text;
}

int CdioGrabber::GetSessionCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(toc_.sessions.size());
}

GrabberResult CdioGrabber::SetCurrentSession(int session) {
  std::lock_guard lock(mutex_);
  if (session < 0 || session >= static_cast<int>(toc_.sessions.size()))
    return Fail(GrabberErrorCode::InvalidSession, text::kNoSuchSession, {session + 1});
  reader_.reset();
  session_ = session;
  track_ = 0;
  return GrabberResult::Success();
}

int CdioGrabber::GetTrackCount() const {
  std::lock_guard lock(mutex_);
  if (session_ >= static_cast<int>(toc_.sessions.size())) return 0;
  return static_cast<int>(toc_.sessions[static_cast<size_t>(session_)].size());
}

GrabberResult CdioGrabber::SetCurrentTrack(int track) {
  std::lock_guard lock(mutex_);
  const bool inSession = session_ < static_cast<int>(toc_.sessions.size()) && track >= 0 &&
                         track < static_cast<int>(toc_.sessions[static_cast<size_t>(session_)].size());
  if (!inSession) return Fail(GrabberErrorCode::InvalidTrack, text::kNoSuchTrack, {track + 1});
  reader_.reset();
  track_ = track;
  return GrabberResult::Success();
}

const DiscToc::Track* CdioGrabber::CurrentTrack() const {
  if (session_ >= static_cast<int>(toc_.sessions.size())) return nullptr;
  const auto& tracks = toc_.sessions[static_cast<size_t>(session_)];
  if (track_ >= static_cast<int>(tracks.size())) return nullptr;
  return &tracks[static_cast<size_t>(track_)];
}

CdTrackType CdioGrabber::GetTrackType() const {
  std::lock_guard lock(mutex_);
  const DiscToc::Track* track = CurrentTrack();
  return track != nullptr ? track->type : CdTrackType::Unknown;
}

int CdioGrabber::GetTrackMinutes() const {
  std::lock_guard lock(mutex_);
  const DiscToc::Track* track = CurrentTrack();
  return track != nullptr ? track->sectors / kFramesPerSecond / 60 : 0;
}

int CdioGrabber::GetTrackSeconds() const {
  std::lock_guard lock(mutex_);
  const DiscToc::Track* track = CurrentTrack();
  return track != nullptr ? track->sectors / kFramesPerSecond % 60 : 0;
}

int CdioGrabber::GetTrackSectors() const {
  std::lock_guard lock(mutex_);
  const DiscToc::Track* track = CurrentTrack();
  return track != nullptr ? track->sectors : 0;
}

int CdioGrabber::GetSectorBytes() const {
  std::lock_guard lock(mutex_);
  const DiscToc::Track* track = CurrentTrack();
  if (track == nullptr) return 0;
  // What one sector of the track holds for its reader: raw audio, or a data sector's user data.
  switch (track->type) {
    case CdTrackType::Audio:
      return TrackReader::kSectorBytes;
    case CdTrackType::Mode1:
    case CdTrackType::Mode2Form1:
      return CDIO_CD_FRAMESIZE;
    case CdTrackType::Mode2Form2:
      return M2F2_SECTOR_SIZE;
    default:
      return M2RAW_SECTOR_SIZE;
  }
}

int CdioGrabber::GetTrackNumber() const {
  std::lock_guard lock(mutex_);
  const DiscToc::Track* track = CurrentTrack();
  return track != nullptr ? track->number : 0;
}

IConversionComponent* CdioGrabber::GetEncoder() { return encoder_.get(); }

void CdioGrabber::StartWatch() {
  const DriveEntry* drive = CurrentDrive();
  if (drive == nullptr || drive->image) return;
  watch_ = std::make_unique<MediaChangeWatch>(MediaChangeWatch::DrivePoll(drive->path),
                                              [this] { emit Event(ComponentEvent{kDiscChangedEvent}); });
}

std::unique_ptr<IAudioCDGrabber> CreateAudioCDGrabber() { return std::make_unique<CdioGrabber>(); }

}  // namespace corvane
