#include "components/grabber/TrackReader.h"

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"

namespace corvane {

struct TrackReader::Paranoia {
  cdrom_drive_t* drive = nullptr;
  cdrom_paranoia_t* state = nullptr;
  ~Paranoia() {
    if (state != nullptr) cdio_paranoia_free(state);
    // The CdIo object belongs to the grabber.
    if (drive != nullptr) cdio_cddap_close_no_free_cdio(drive);
  }
};

namespace {

constexpr int kFirstCarefulMode = 2;
constexpr int kActionSilence = 1;
constexpr int kActionDiscard = 2;

// Re-reads paranoia may spend on one sector: the retries, more of them in the patient modes.
int CarefulRetries(const ReadSettings& settings) {
  const int patience = settings.grabMode >= 4 ? 4 : settings.grabMode == 3 ? 2 : 1;
  return std::max(1, settings.retries) * patience;
}

// Read errors paranoia met during the current sector's read; its callback takes no context, and
// each thread reads one track at a time.
thread_local int careful_read_errors = 0;

void CountReadErrors(long /*position*/, paranoia_cb_mode_t mode) {
  if (mode == PARANOIA_CB_READERR) ++careful_read_errors;
}

GrabberResult ReadFailure(int lsn) {
  return GrabberResult::Failure(GrabberErrorCode::ReadError, StringTable::Format(text::kSectorUnreadable, {lsn}));
}

}  // namespace

TrackReader::TrackReader(CdIo_t* cdio, int firstLsn, int sectors, ReadSettings settings)
    : cdio_(cdio), first_lsn_(firstLsn), sectors_(sectors), settings_(settings) {}

TrackReader::~TrackReader() = default;

GrabberResult TrackReader::Open() {
  if (settings_.grabMode < kFirstCarefulMode) return GrabberResult::Success();
  auto paranoia = std::make_unique<Paranoia>();
  paranoia->drive = cdio_cddap_identify_cdio(cdio_, CDDA_MESSAGE_FORGETIT, nullptr);
  if (paranoia->drive == nullptr || cdio_cddap_open(paranoia->drive) != 0)
    return GrabberResult::Failure(GrabberErrorCode::Unsupported, StringTable::Text(text::kCarefulReadUnavailable));
  paranoia->state = cdio_paranoia_init(paranoia->drive);
  if (paranoia->state == nullptr)
    return GrabberResult::Failure(GrabberErrorCode::Unsupported, StringTable::Text(text::kCarefulReadUnavailable));
  cdio_paranoia_modeset(paranoia->state, PARANOIA_MODE_FULL);
  paranoia_ = std::move(paranoia);
  return Seek(0);
}

GrabberResult TrackReader::Read(int sectors, QByteArray& buffer) {
  buffer.clear();
  const int count = std::min(std::max(sectors, 0), sectors_ - position_);
  if (count <= 0) return GrabberResult::Success();
  const int lsn = first_lsn_ + position_;
  position_ += count;
  return paranoia_ ? ReadCareful(lsn, count, buffer) : ReadPlain(lsn, count, buffer);
}

GrabberResult TrackReader::Seek(int sector) {
  if (sector < 0 || sector > sectors_)
    return GrabberResult::Failure(GrabberErrorCode::ReadError, StringTable::Format(text::kSeekOutsideTrack, {sector}));
  position_ = sector;
  if (paranoia_) cdio_paranoia_seek(paranoia_->state, first_lsn_ + sector, SEEK_SET);
  return GrabberResult::Success();
}

GrabberResult TrackReader::ReadPlain(int lsn, int count, QByteArray& buffer) {
  // Zeroed first: an image driver that meets the end of its data file part way through a block
  // still reports success, and the sectors it did not fill must come out silent, not as
  // whatever the memory held.
  buffer.fill('\0', static_cast<qsizetype>(count) * kSectorBytes);
  for (int attempt = 0; attempt <= settings_.retries; ++attempt) {
    if (cdio_read_audio_sectors(cdio_, buffer.data(), lsn, static_cast<unsigned>(count)) == DRIVER_OP_SUCCESS) {
      NoteAttempts(attempt + 1);
      return GrabberResult::Success();
    }
  }
  // The block failed as a whole: sector by sector, so that only the bad ones take the action.
  QByteArray good;
  for (int i = 0; i < count; ++i) {
    char sector[kSectorBytes] = {};
    bool read = false;
    int attempts = 0;
    while (attempts <= settings_.retries && !read) {
      ++attempts;
      read = cdio_read_audio_sectors(cdio_, sector, lsn + i, 1) == DRIVER_OP_SUCCESS;
    }
    NoteAttempts(attempts);
    if (read) {
      good.append(sector, kSectorBytes);
    } else if (const GrabberResult result = Unreadable(lsn + i, good); result.Failed()) {
      buffer.clear();
      return result;
    }
  }
  buffer = good;
  return GrabberResult::Success();
}

GrabberResult TrackReader::ReadCareful(int lsn, int count, QByteArray& buffer) {
  const int retries = CarefulRetries(settings_);
  buffer.reserve(static_cast<qsizetype>(count) * kSectorBytes);
  for (int i = 0; i < count; ++i) {
    careful_read_errors = 0;
    const int16_t* samples = cdio_paranoia_read_limited(paranoia_->state, CountReadErrors, retries);
    NoteAttempts(careful_read_errors + 1);
    if (samples == nullptr) {
      // Paranoia lost its place; it goes on from the next sector.
      cdio_paranoia_seek(paranoia_->state, lsn + i + 1, SEEK_SET);
      if (const GrabberResult result = Unreadable(lsn + i, buffer); result.Failed()) {
        buffer.clear();
        return result;
      }
      continue;
    }
    buffer.append(reinterpret_cast<const char*>(samples), kSectorBytes);
  }
  return GrabberResult::Success();
}

GrabberResult TrackReader::Unreadable(int lsn, QByteArray& buffer) {
  switch (settings_.errorAction) {
    case kActionSilence:
      buffer.append(QByteArray(kSectorBytes, '\0'));
      return GrabberResult::Success();
    case kActionDiscard:
      return GrabberResult::Success();
    default:
      return ReadFailure(lsn);
  }
}

}  // namespace corvane
