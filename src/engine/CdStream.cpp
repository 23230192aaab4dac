#include "engine/CdStream.h"

#include <algorithm>
#include <cstring>

#include "engine/CdTrackPlace.h"

namespace corvane {
namespace {

// Sectors asked of the drive at once: about 58 KB, within what every drive and the kernel take
// in one audio read.
constexpr int kBlockSectors = 25;
constexpr int kChannels = 2;
constexpr int kFrameBytes = 4;

}  // namespace

EngineResult<std::unique_ptr<CdStream>> CdStream::Create(const QString& device, int row, CdReadOptions options,
                                                         int sectors) {
  using Created = EngineResult<std::unique_ptr<CdStream>>;
  DiscOpenResult opened = OpenDisc(device);
  if (!opened.Succeeded()) return Created::Failure(EngineError::NoCd);
  std::unique_ptr<IDiscAccess> disc = std::move(*opened.value);
  const EngineResult<CdTrackPlace> place = FindCdTrack(disc->Table(), row, sectors);
  if (!place.Succeeded()) return Created::Failure(place.status.code);
  options.retries = std::max(0, options.retries);
  return Created::Success(
      std::unique_ptr<CdStream>(new CdStream(std::move(disc), place.value->lsn, place.value->frames, options)));
}

CdStream::CdStream(std::unique_ptr<IDiscAccess> disc, int firstLsn, qint64 frames, CdReadOptions options)
    : disc_(std::move(disc)),
      first_lsn_(firstLsn),
      length_bytes_(frames * kFrameBytes),
      options_(options),
      reach_(AudioReach(disc_->Table(), firstLsn, static_cast<int>(CeilDiv(length_bytes_, kSectorBytes)))),
      needed_end_(static_cast<int>(
          std::clamp<qint64>(CeilDiv(DiscByte(LengthBytes()), kSectorBytes), reach_.first, reach_.end))) {}

ChannelInfo CdStream::Info() const {
  return ChannelInfo{kRate, kChannels, SampleResolution::Bits16, 16, ChannelType::Cd};
}

qint64 CdStream::DiscByte(qint64 position) const {
  return static_cast<qint64>(first_lsn_) * kSectorBytes + position +
         static_cast<qint64>(options_.read_offset) * kFrameBytes;
}

bool CdStream::Seek(qint64 bytePosition) {
  if (bytePosition < 0 || bytePosition > LengthBytes()) return false;
  const qint64 frame = bytePosition - bytePosition % kFrameBytes;
  if (options_.tap != nullptr) {
    // Reading on from where it stands keeps the track whole.
    if (frame == 0)
      options_.tap->Restart();
    else if (frame != position_)
      options_.tap->Break();
  }
  position_ = frame;
  ended_ = false;
  return true;
}

int CdStream::ReadPcm(char* buffer, int bytes) {
  const qint64 reachFirst = static_cast<qint64>(reach_.first) * kSectorBytes;
  const qint64 reachEnd = static_cast<qint64>(reach_.end) * kSectorBytes;
  int written = 0;
  while (written < bytes && position_ < LengthBytes()) {
    const auto wanted = static_cast<int>(std::min<qint64>(bytes - written, LengthBytes() - position_));
    const qint64 at = DiscByte(position_);
    char* out = buffer + written;
    int take = 0;
    if (at < reachFirst || at >= reachEnd) {
      // Where the drive cannot read: silence up to where it can.
      take = at < reachFirst ? static_cast<int>(std::min<qint64>(wanted, reachFirst - at)) : wanted;
      std::memset(out, 0, static_cast<size_t>(take));
    } else {
      const auto lsn = static_cast<int>(FloorDiv(at, kSectorBytes));
      const int blockSectors = static_cast<int>(block_.size()) / kSectorBytes;
      if (block_first_ < 0 || lsn < block_first_ || lsn >= block_first_ + blockSectors) {
        if (!LoadBlock(lsn)) {
          BreakTap();
          return written > 0 ? written : -1;
        }
      }
      const auto offset = static_cast<size_t>(at - static_cast<qint64>(block_first_) * kSectorBytes);
      take = static_cast<int>(std::min(block_.size() - offset, static_cast<size_t>(wanted)));
      std::memcpy(out, block_.data() + offset, static_cast<size_t>(take));
    }
    if (options_.tap != nullptr) options_.tap->Consume(out, take);
    written += take;
    position_ += take;
  }
  if (position_ >= LengthBytes()) ended_ = true;
  return written;
}

void CdStream::BreakTap() {
  if (options_.tap != nullptr) options_.tap->Break();
}

bool CdStream::LoadBlock(int lsn) {
  // No further than the shifted track needs: a sector beyond it must not fail the track.
  const int count = std::min(kBlockSectors, needed_end_ - lsn);
  block_.assign(static_cast<size_t>(count) * kSectorBytes, '\0');
  if (!ReadChecked(lsn, count, block_.data())) {
    block_.clear();
    block_first_ = -1;
    SetLastError(EngineError::Unknown);
    return false;
  }
  block_first_ = lsn;
  return true;
}

bool CdStream::ReadSectors(int lsn, int count, char* out) const {
  for (int attempt = 0; attempt <= options_.retries; ++attempt) {
    if (disc_->ReadAudio(lsn, count, out)) {
      worst_attempts_ = std::max(worst_attempts_, attempt + 1);
      return true;
    }
  }
  worst_attempts_ = std::max(worst_attempts_, options_.retries + 1);
  return false;
}

bool CdStream::ReadChecked(int lsn, int count, char* out) {
  if (ReadSectors(lsn, count, out)) return true;
  // Sector by sector, so that only the sectors that fail are lost.
  for (int i = 0; i < count; ++i) {
    char* at = out + static_cast<ptrdiff_t>(i) * kSectorBytes;
    if (ReadSectors(lsn + i, 1, at)) continue;
    if (!options_.skip_errors) {
      failed_sector_ = lsn + i - first_lsn_;
      return false;
    }
    std::memset(at, 0, kSectorBytes);
    ++skipped_sectors_;
  }
  return true;
}

}  // namespace corvane
