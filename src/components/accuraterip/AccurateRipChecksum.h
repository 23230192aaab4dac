#pragma once
#include <QtGlobal>

#include "common/PcmTap.h"

namespace corvane {

// The AccurateRip v1 and v2 checksums and the CRC-32 of one track's audio, fed as it is read.
// Each frame (one 32-bit little-endian word: left sample low, right sample high) is weighted by
// its position in the track, counted from 1. The first audio track of a disc leaves out its
// first 2939 frames and the last audio track its last 2940, since drives disagree on what they
// read there; the positions still count them. A track too short to hold any frame outside those
// regions has checksums 0. The CRC-32 covers every byte of the track.
class AccurateRipChecksum final : public PcmTap {
 public:
  AccurateRipChecksum(qint64 trackFrames, bool firstAudioTrack, bool lastAudioTrack);

  // Pieces may be of any size; one that ends inside a frame is completed by the next.
  void Consume(const char* pcm, qsizetype bytes) override;
  void Restart() override;
  void Break() override;

  quint32 V1() const { return sum_low_; }
  quint32 V2() const { return sum_low_ + sum_high_; }
  quint32 Crc32() const { return crc_; }
  // Whole frames consumed since the start or the last Restart.
  qint64 Frames() const { return frames_; }
  // Exactly the track's frames were consumed, in order, with no Break since the last Restart.
  bool Complete() const;

 private:
  static constexpr int kFrameBytes = 4;

  // Adds whole frames that follow frames_ already seen.
  void SumFrames(const unsigned char* frames, qint64 count);

  qint64 track_frames_;
  qint64 first_summed_;  // frame positions, from 1
  qint64 last_summed_;
  quint32 sum_low_ = 0;
  quint32 sum_high_ = 0;
  quint32 crc_ = 0;
  qint64 frames_ = 0;
  unsigned char partial_[kFrameBytes] = {};
  int partial_bytes_ = 0;
  bool broken_ = false;
};

}  // namespace corvane
