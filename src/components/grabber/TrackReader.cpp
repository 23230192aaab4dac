#include "components/grabber/TrackReader.h"

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <cstring>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"

namespace corvane {

struct TrackReader::Paranoia {
  cdrom_drive_t* drive = nullptr;
  cdrom_paranoia_t* state = nullptr;
  ~Paranoia() {
    if (state != nullptr) cdio_paranoia_free(state);
    // The CdIo object belongs to the disc access.
    if (drive != nullptr) cdio_cddap_close_no_free_cdio(drive);
  }
};

namespace {

constexpr int kFirstCarefulMode = 2;
constexpr int kActionSilence = 1;
constexpr int kActionDiscard = 2;
constexpr int kFrameBytes = 4;

// Re-reads paranoia may spend on one sector before it gives the sector up: the retries, more of
// them in the patient modes. Paranoia weighs its count against the limit only at multiples of
// five, so the limit is one of those.
int CarefulRetries(const ReadSettings& settings) {
  const int patience = settings.grab_mode >= 4 ? 4 : settings.grab_mode == 3 ? 2 : 1;
  const int retries = std::max(1, settings.retries) * patience;
  return (retries + 4) / 5 * 5;
}

// Once paranoia has given up on an area, the plain reader takes the sectors from there until
// this many in a row have read clean; paranoia then goes on.
constexpr int kPlainRecoverySectors = 75;

// Read errors paranoia met and areas it gave up during the current sector's read; its callback
// takes no context, and each thread reads one track at a time.
thread_local int careful_read_errors = 0;
thread_local int careful_give_ups = 0;

void CountReadErrors(long /*position*/, paranoia_cb_mode_t mode) {
  if (mode == PARANOIA_CB_READERR) ++careful_read_errors;
  if (mode == PARANOIA_CB_SKIP) ++careful_give_ups;
}

GrabberResult ReadFailure(int lsn) {
  return GrabberResult::Failure(GrabberErrorCode::ReadError, StringTable::Format(text::kSectorUnreadable, {lsn}));
}

}  // namespace

TrackReader::TrackReader(IDiscAccess& disc, int firstLsn, int sectors, ReadSettings settings, PcmTap* tap)
    : disc_(disc),
      first_lsn_(firstLsn),
      sectors_(sectors),
      settings_(settings),
      tap_(tap),
      reach_(AudioReach(disc.Table(), firstLsn, sectors)) {
  if (disc_.Cdio() == nullptr) settings_.retries = 0;
}

TrackReader::~TrackReader() = default;

GrabberResult TrackReader::Open() {
  if (settings_.grab_mode < kFirstCarefulMode || disc_.Cdio() == nullptr) return GrabberResult::Success();
  auto paranoia = std::make_unique<Paranoia>();
  paranoia->drive = cdio_cddap_identify_cdio(disc_.Cdio(), CDDA_MESSAGE_FORGETIT, nullptr);
  if (paranoia->drive == nullptr || cdio_cddap_open(paranoia->drive) != 0)
    return GrabberResult::Failure(GrabberErrorCode::Unsupported, StringTable::Text(text::kCarefulReadUnavailable));
  paranoia->state = cdio_paranoia_init(paranoia->drive);
  if (paranoia->state == nullptr)
    return GrabberResult::Failure(GrabberErrorCode::Unsupported, StringTable::Text(text::kCarefulReadUnavailable));
  // Without "never skip" paranoia gives a sector up after its re-reads instead of retrying an
  // unreadable area for as long as it takes.
  cdio_paranoia_modeset(paranoia->state, PARANOIA_MODE_FULL & ~PARANOIA_MODE_NEVERSKIP);
  paranoia_ = std::move(paranoia);
  careful_next_ = -1;
  plain_until_ = -1;
  give_ups_left_ = std::max(1, settings_.retries);
  return GrabberResult::Success();
}

GrabberResult TrackReader::Read(int sectors, QByteArray& buffer) {
  buffer.clear();
  const int count = std::min(std::max(sectors, 0), sectors_ - position_);
  if (count <= 0) return GrabberResult::Success();
  // The bytes of the disc the track's sectors come from, and the disc sectors that hold them.
  const qint64 begin = static_cast<qint64>(first_lsn_ + position_) * kSectorBytes +
                       static_cast<qint64>(settings_.read_offset) * kFrameBytes;
  const qint64 end = begin + static_cast<qint64>(count) * kSectorBytes;
  const qint64 firstSector = FloorDiv(begin, kSectorBytes);
  const qint64 endSector = CeilDiv(end, kSectorBytes);
  position_ += count;
  QByteArray disc;
  std::vector<bool> dropped;
  qint64 from = firstSector;
  if (held_lsn_ == firstSector) {
    disc = held_;
    dropped.push_back(held_dropped_);
    ++from;
  }
  if (const GrabberResult read = ReadDisc(from, endSector - from, disc, dropped); read.Failed()) {
    held_lsn_ = kNoSector;
    if (tap_ != nullptr) tap_->Break();
    return read;
  }
  held_lsn_ = endSector - 1;
  held_ = disc.right(kSectorBytes);
  held_dropped_ = dropped.back();
  buffer.reserve(static_cast<qsizetype>(count) * kSectorBytes);
  bool whole = true;
  for (size_t i = 0; i < dropped.size(); ++i) {
    if (dropped[i]) {
      whole = false;
      continue;
    }
    const qint64 sectorStart = (firstSector + static_cast<qint64>(i)) * kSectorBytes;
    const qint64 fromByte = std::max(begin, sectorStart);
    const qint64 toByte = std::min(end, sectorStart + kSectorBytes);
    buffer.append(disc.constData() + static_cast<qint64>(i) * kSectorBytes + (fromByte - sectorStart),
                  toByte - fromByte);
  }
  if (tap_ != nullptr) {
    // What is left out cannot reach the tap in order.
    if (whole)
      tap_->Consume(buffer.constData(), buffer.size());
    else
      tap_->Break();
  }
  return GrabberResult::Success();
}

GrabberResult TrackReader::Seek(int sector) {
  if (sector < 0 || sector > sectors_)
    return GrabberResult::Failure(GrabberErrorCode::ReadError, StringTable::Format(text::kSeekOutsideTrack, {sector}));
  if (tap_ != nullptr) {
    // Reading on from where it stands keeps the track whole.
    if (sector == 0)
      tap_->Restart();
    else if (sector != position_)
      tap_->Break();
  }
  position_ = sector;
  held_lsn_ = kNoSector;
  return GrabberResult::Success();
}

GrabberResult TrackReader::ReadDisc(qint64 lsn, qint64 count, QByteArray& disc, std::vector<bool>& dropped) {
  const qint64 stop = lsn + count;
  const qint64 reachable = std::clamp<qint64>(reach_.first, lsn, stop);
  const qint64 beyond = std::clamp<qint64>(reach_.end, reachable, stop);
  const auto silence = [&](qint64 sectors) {
    disc.append(QByteArray(static_cast<qsizetype>(sectors) * kSectorBytes, '\0'));
    dropped.insert(dropped.end(), static_cast<size_t>(sectors), false);
  };
  silence(reachable - lsn);
  if (beyond > reachable) {
    const auto first = static_cast<int>(reachable);
    const auto within = static_cast<int>(beyond - reachable);
    const GrabberResult read =
        paranoia_ ? ReadCareful(first, within, disc, dropped) : ReadPlain(first, within, disc, dropped);
    if (read.Failed()) return read;
  }
  silence(stop - beyond);
  return GrabberResult::Success();
}

GrabberResult TrackReader::ReadPlain(int lsn, int count, QByteArray& disc, std::vector<bool>& dropped) {
  const qsizetype at = disc.size();
  disc.append(QByteArray(static_cast<qsizetype>(count) * kSectorBytes, '\0'));
  char* out = disc.data() + at;
  for (int attempt = 0; attempt <= settings_.retries; ++attempt) {
    if (disc_.ReadAudio(lsn, count, out)) {
      NoteAttempts(attempt + 1);
      dropped.insert(dropped.end(), static_cast<size_t>(count), false);
      return GrabberResult::Success();
    }
  }
  // The block failed as a whole: sector by sector, so that only the bad ones take the action.
  for (int i = 0; i < count; ++i) {
    char* sector = out + static_cast<qsizetype>(i) * kSectorBytes;
    bool read = false;
    int attempts = 0;
    while (attempts <= settings_.retries && !read) {
      ++attempts;
      std::memset(sector, 0, kSectorBytes);
      read = disc_.ReadAudio(lsn + i, 1, sector);
    }
    NoteAttempts(attempts);
    if (read) {
      dropped.push_back(false);
      continue;
    }
    std::memset(sector, 0, kSectorBytes);
    if (const GrabberResult result = Unreadable(lsn + i, dropped); result.Failed()) return result;
  }
  return GrabberResult::Success();
}

GrabberResult TrackReader::ReadCareful(int lsn, int count, QByteArray& disc, std::vector<bool>& dropped) {
  const int retries = CarefulRetries(settings_);
  disc.reserve(disc.size() + static_cast<qsizetype>(count) * kSectorBytes);
  for (int i = 0; i < count;) {
    const int sector = lsn + i;
    if (give_ups_left_ <= 0 || sector < plain_until_) {
      // Paranoia gave up near here, or too often in this track: what it hands back for such an
      // area cannot be told from audio, while the plain reader's re-reads are bounded and count
      // every sector they give up.
      const int run = give_ups_left_ <= 0 ? count - i : std::min(count - i, plain_until_ - sector);
      const int before = unreadable_;
      if (const GrabberResult read = ReadPlain(sector, run, disc, dropped); read.Failed()) return read;
      if (unreadable_ > before) plain_until_ = sector + run + kPlainRecoverySectors;
      i += run;
      continue;
    }
    if (careful_next_ != sector) cdio_paranoia_seek(paranoia_->state, sector, SEEK_SET);
    careful_read_errors = 0;
    careful_give_ups = 0;
    const int16_t* samples = cdio_paranoia_read_limited(paranoia_->state, CountReadErrors, retries);
    NoteAttempts(careful_read_errors + 1);
    careful_next_ = sector + 1;
    if (samples == nullptr || careful_give_ups > 0) {
      // The sector is read again by the plain reader, with the ones after it.
      --give_ups_left_;
      plain_until_ = sector + kPlainRecoverySectors;
      continue;
    }
    disc.append(reinterpret_cast<const char*>(samples), kSectorBytes);
    dropped.push_back(false);
    ++i;
  }
  return GrabberResult::Success();
}

GrabberResult TrackReader::Unreadable(int lsn, std::vector<bool>& dropped) {
  ++unreadable_;
  switch (settings_.error_action) {
    case kActionSilence:
      dropped.push_back(false);
      return GrabberResult::Success();
    case kActionDiscard:
      dropped.push_back(true);
      return GrabberResult::Success();
    default:
      return ReadFailure(lsn);
  }
}

}  // namespace corvane
