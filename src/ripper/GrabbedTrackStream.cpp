#include "ripper/GrabbedTrackStream.h"

#include <QFileInfo>
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
                                                                             ReadSettings settings, PcmTap* tap) {
  using Created = EngineResult<std::unique_ptr<GrabbedTrackStream>>;
  const bool image = QFileInfo(device).isFile();
  CdioHandle cdio = image ? OpenCdioImage(device) : OpenCdioDevice(device);
  if (!cdio) return Created::Failure(EngineError::NoCd);
  const EngineResult<CdTrackPlace> place = FindCdTrack(cdio.get(), row);
  if (!place.Succeeded()) return Created::Failure(place.status.code);
  auto reader = std::make_unique<TrackReader>(cdio.get(), place.value->lsn, place.value->sectors, settings, tap);
  if (reader->Open().Failed()) return Created::Failure(EngineError::Device);
  const bool exact = settings.errorAction != kActionDiscard;
  return Created::Success(std::unique_ptr<GrabbedTrackStream>(
      new GrabbedTrackStream(std::move(cdio), std::move(reader), place.value->sectors, exact)));
}

GrabbedTrackStream::GrabbedTrackStream(CdioHandle cdio, std::unique_ptr<TrackReader> reader, int sectors, bool exact)
    : cdio_(std::move(cdio)), reader_(std::move(reader)), sectors_(sectors), exact_(exact) {}

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
  const int written = ReadThroughPending(pending_, offset_, ended_, buffer, bytes, [this] { return Refill(); });
  if (written > 0) position_ += written;
  return written;
}

}  // namespace corvane
