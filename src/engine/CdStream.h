#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "common/PcmTap.h"
#include "discimage/CdAudioReach.h"
#include "discimage/DiscAccess.h"
#include "engine/AudioStream.h"

namespace corvane {

// How a CD stream treats sectors that do not read: each failing read is tried `retries` more
// times; a sector that still fails becomes silence with `skip_errors`, else the read fails.
// `read_offset` is the drive's read offset in samples (stereo frames, may be negative): frame i
// of the track comes from frame (track start + i + read_offset) of the disc, silence where that
// lies outside what the drive can reach (before sector 0, in a data track, at or after the
// lead-out). `tap`, when set, sees every byte the stream delivers, once and in order.
struct CdReadOptions {
  int retries = 2;
  bool skip_errors = false;
  int read_offset = 0;
  PcmTap* tap = nullptr;
};

// One audio track of a drive or a disc image (.cue, .toc, .nrg) as 44100 Hz 16-bit stereo PCM,
// read sector by sector. Decode-only; the stream owns its open disc. The track's length is whole
// sectors, except for the last track of an image whose data ends inside a sector.
class CdStream final : public AudioStream {
 public:
  static constexpr int kSectorBytes = 2352;
  static constexpr int kRate = 44100;

  // `row` counts the disc's tracks from 0 in table order, sessions one after another. Fails with
  // NoCd when the drive holds no disc or the image cannot be opened, CdTrack for a row beyond the
  // disc, NotAudio for a data track. `sectors`: the track's length as a rip's table gave it (see
  // FindCdTrack); 0: as the disc gives it now.
  static EngineResult<std::unique_ptr<CdStream>> Create(const QString& device, int row, CdReadOptions options = {},
                                                        int sectors = 0);

  ChannelInfo Info() const override;
  qint64 LengthBytes() const override { return length_bytes_; }
  bool LengthIsExact() const override { return true; }
  qint64 PositionBytes() const override { return position_; }
  bool Seek(qint64 bytePosition) override;
  bool IsActive() const override { return !ended_; }

  // Sector of the track (from 0) that made the last read fail; -1 when none did. With a read
  // offset the sector may lie just before or after the track.
  int FailedSector() const { return failed_sector_; }
  // The most attempts one read took so far (a read given up counts all of its attempts).
  int WorstAttempts() const { return worst_attempts_; }
  // Sectors that did not read and were let through as silence.
  int SkippedSectors() const { return skipped_sectors_; }

 protected:
  int ReadPcm(char* buffer, int bytes) override;

 private:
  CdStream(std::unique_ptr<IDiscAccess> disc, int firstLsn, qint64 frames, CdReadOptions options);
  // Byte of the disc (from sector 0) that the stream's byte `position` comes from.
  qint64 DiscByte(qint64 position) const;
  // Reads the block of disc sectors from `lsn` on into block_.
  bool LoadBlock(int lsn);
  bool ReadSectors(int lsn, int count, char* out) const;
  // Reads `count` disc sectors from `lsn` into `out`, sector by sector where the block as a whole
  // fails; false when a sector fails and errors are not skipped.
  bool ReadChecked(int lsn, int count, char* out);
  // Tells the tap that the track can no longer reach it whole.
  void BreakTap();

  std::unique_ptr<IDiscAccess> disc_;
  int first_lsn_;
  qint64 length_bytes_;
  CdReadOptions options_;
  SectorSpan reach_;  // disc sectors the drive returns as audio around the track
  int needed_end_;    // first disc sector past those the shifted track takes audio from
  qint64 position_ = 0;
  bool ended_ = false;
  int failed_sector_ = -1;
  mutable int worst_attempts_ = 0;
  int skipped_sectors_ = 0;
  std::vector<char> block_;
  int block_first_ = -1;  // disc sector that block_ starts with; -1 when it holds nothing
};

}  // namespace corvane
