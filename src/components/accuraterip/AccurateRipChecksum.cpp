#include "components/accuraterip/AccurateRipChecksum.h"

#include <algorithm>
#include <cstring>

#include "components/accuraterip/Crc32.h"

namespace corvane {
namespace {

// Five sectors of 588 frames: the first audio track sums from this position on, and the last
// stops this many frames before its end.
constexpr qint64 kSkippedFrames = 5 * 588;

}  // namespace

AccurateRipChecksum::AccurateRipChecksum(qint64 trackFrames, bool firstAudioTrack, bool lastAudioTrack)
    : track_frames_(std::max<qint64>(trackFrames, 0)),
      first_summed_(firstAudioTrack ? kSkippedFrames : 1),
      last_summed_(lastAudioTrack ? track_frames_ - kSkippedFrames : track_frames_) {}

void AccurateRipChecksum::Consume(const char* pcm, qsizetype bytes) {
  if (bytes <= 0) return;
  crc_ = Crc32Update(crc_, pcm, bytes);
  const auto* in = reinterpret_cast<const unsigned char*>(pcm);
  if (partial_bytes_ > 0) {
    const int taken = static_cast<int>(std::min<qsizetype>(kFrameBytes - partial_bytes_, bytes));
    std::memcpy(partial_ + partial_bytes_, in, static_cast<size_t>(taken));
    partial_bytes_ += taken;
    in += taken;
    bytes -= taken;
    if (partial_bytes_ < kFrameBytes) return;
    SumFrames(partial_, 1);
    partial_bytes_ = 0;
  }
  const qint64 whole = bytes / kFrameBytes;
  SumFrames(in, whole);
  partial_bytes_ = static_cast<int>(bytes % kFrameBytes);
  std::memcpy(partial_, in + whole * kFrameBytes, static_cast<size_t>(partial_bytes_));
}

void AccurateRipChecksum::SumFrames(const unsigned char* frames, qint64 count) {
  // Only the part of this run that falls between the first and last summed positions is read,
  // so the loop itself carries no test of the position.
  const qint64 firstPosition = frames_ + 1;
  const qint64 from = std::max(first_summed_, firstPosition);
  const qint64 to = std::min(last_summed_, frames_ + count);
  quint32 low = sum_low_;
  quint32 high = sum_high_;
  for (qint64 position = from; position <= to; ++position) {
    const unsigned char* frame = frames + (position - firstPosition) * kFrameBytes;
    const quint64 word = static_cast<quint64>(frame[0]) | static_cast<quint64>(frame[1]) << 8 |
                         static_cast<quint64>(frame[2]) << 16 | static_cast<quint64>(frame[3]) << 24;
    const quint64 product = word * static_cast<quint64>(position);
    low += static_cast<quint32>(product);
    high += static_cast<quint32>(product >> 32);
  }
  sum_low_ = low;
  sum_high_ = high;
  frames_ += count;
}

void AccurateRipChecksum::Restart() {
  sum_low_ = 0;
  sum_high_ = 0;
  crc_ = 0;
  frames_ = 0;
  partial_bytes_ = 0;
  broken_ = false;
}

void AccurateRipChecksum::Break() { broken_ = true; }

bool AccurateRipChecksum::Complete() const { return !broken_ && partial_bytes_ == 0 && frames_ == track_frames_; }

}  // namespace corvane
