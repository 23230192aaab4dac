#include "ripper/GrabbedTrackStream.h"

#include <algorithm>

#include "engine/CdTrackPlace.h"

namespace corvane {
namespace {

constexpr int kChannels = 2;
constexpr int kFrameBytes = 4;
constexpr int kSectorsPerRead = 26;
constexpr int kActionDiscard = 2;

}  // namespace

EngineResult<std::unique_ptr<GrabbedTrackStream>> GrabbedTrackStream::Create(const QString& device, int row,
                                                                             ReadSettings settings, PcmTap* tap,
                                                                             int sectors) {
  using Created = EngineResult<std::unique_ptr<GrabbedTrackStream>>;
  DiscOpenResult opened = OpenDisc(device);
  if (!opened.Succeeded()) return Created::Failure(EngineError::NoCd);
  std::unique_ptr<IDiscAccess> disc = std::move(*opened.value);
  const EngineResult<CdTrackPlace> place = FindCdTrack(disc->Table(), row, sectors);
  if (!place.Succeeded()) return Created::Failure(place.status.code);
  const CdTrackPlace& at = *place.value;
  auto reader = std::make_unique<TrackReader>(*disc, at.lsn, at.sectors, settings, tap);
  if (reader->Open().Failed()) return Created::Failure(EngineError::Device);
  const bool exact = settings.error_action != kActionDiscard;
  return Created::Success(std::unique_ptr<GrabbedTrackStream>(
      new GrabbedTrackStream(std::move(disc), std::move(reader), at.sectors, at.frames, exact)));
}

GrabbedTrackStream::GrabbedTrackStream(std::unique_ptr<IDiscAccess> disc, std::unique_ptr<TrackReader> reader,
                                       int sectors, qint64 frames, bool exact)
    : disc_(std::move(disc)),
      reader_(std::move(reader)),
      sectors_(sectors),
      length_bytes_(frames * kFrameBytes),
      exact_(exact) {}

// The reader goes before the disc handle it reads through.
GrabbedTrackStream::~GrabbedTrackStream() { reader_.reset(); }

ChannelInfo GrabbedTrackStream::Info() const {
  return ChannelInfo{kRate, kChannels, SampleResolution::Bits16, 16, ChannelType::Cd};
}

bool GrabbedTrackStream::Seek(qint64 bytePosition) {
  if (bytePosition < 0 || bytePosition > LengthBytes() || (!exact_ && bytePosition != 0)) return false;
  const qint64 target = bytePosition - bytePosition % kFrameBytes;
  const auto sector = static_cast<int>(target / TrackReader::kSectorBytes);
  if (reader_->Seek(sector).Failed()) return false;
  next_sector_ = sector;
  pending_.clear();
  offset_ = 0;
  ended_ = false;
  failure_.clear();
  position_ = static_cast<qint64>(sector) * TrackReader::kSectorBytes;
  // The rest of a sector is skipped by reading it.
  const auto skip = static_cast<size_t>(target - position_);
  if (skip > 0) {
    if (!Refill() || pending_.size() < skip) return false;
    offset_ = skip;
  }
  position_ = target;
  return true;
}

bool GrabbedTrackStream::Refill() {
  if (!failure_.isEmpty()) return false;  // a track that failed to read stays failed
  QByteArray block;
  // A block whose every sector was discarded comes back empty before the track's end.
  while (block.isEmpty() && next_sector_ < sectors_) {
    const int count = std::min(kSectorsPerRead, sectors_ - next_sector_);
    const GrabberResult read = reader_->Read(count, block);
    next_sector_ += count;
    if (read.Failed()) {
      failure_ = read.text;
      SetLastError(EngineError::Unknown);
      return false;
    }
  }
  if (block.isEmpty()) {
    ended_ = true;
    return false;
  }
  pending_.assign(block.cbegin(), block.cend());
  offset_ = 0;
  return true;
}

int GrabbedTrackStream::ReadPcm(char* buffer, int bytes) {
  // A track that ends inside its last sector delivers nothing of the sector's rest.
  bytes = static_cast<int>(std::min<qint64>(bytes, std::max<qint64>(0, length_bytes_ - position_)));
  const int written =
      bytes > 0 ? ReadThroughPending(pending_, offset_, ended_, buffer, bytes, [this] { return Refill(); }) : 0;
  if (written > 0) position_ += written;
  if (position_ >= length_bytes_) ended_ = true;
  return written;
}

}  // namespace corvane
