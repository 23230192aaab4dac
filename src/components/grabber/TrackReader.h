#pragma once
#include <QByteArray>
#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "common/PcmTap.h"
#include "components/GrabberError.h"
#include "discimage/CdAudioReach.h"
#include "discimage/DiscAccess.h"

namespace corvane {

// How a track is read: grab mode 0 or 1 reads the sectors as the drive returns them; 2 to 4 go
// through libcdio-paranoia with full verification, 3 and 4 allowing more re-reads before a
// sector is given up. Where paranoia gives an area up, the plain reader reads it, so that every
// sector never read is counted and the effort stays bounded; a track in which paranoia gives up
// more often than `retries` (at least once) is read plainly to its end. A disc image read by our own reader has no
// drive to verify or re-read: every mode reads it once. A sector that still fails after `retries` attempts is handled
// by the error action: 0 stops with ReadError, 1 returns silence in its place, 2 leaves it out. `read_offset` is the
// drive's read offset in samples (stereo frames, may be negative): frame i of the track comes from frame (track start +
// i + read_offset) of the disc, silence where that lies outside what the drive can reach (before sector 0, in a data
// track, at or after the lead-out).
struct ReadSettings {
  int grab_mode = 1;
  int error_action = 0;
  int retries = 0;
  int read_offset = 0;
};

// Reads one audio track of an open disc sector by sector, as 16-bit stereo little-endian PCM,
// shifted by the read offset. A `tap` sees every byte Read delivers, once and in order; Seek to 0
// restarts it, a seek elsewhere, a sector left out or a failed read breaks it. It is called on
// the thread that reads.
class TrackReader {
 public:
  static constexpr int kSectorBytes = 2352;

  TrackReader(IDiscAccess& disc, int firstLsn, int sectors, ReadSettings settings, PcmTap* tap = nullptr);
  ~TrackReader();
  TrackReader(const TrackReader&) = delete;
  TrackReader& operator=(const TrackReader&) = delete;

  // Sets up careful reading when the grab mode asks for it.
  GrabberResult Open();
  // Up to `sectors` whole sectors from the read position; empty at the end of the track. With
  // error action 2 a sector left out makes it shorter, down to nothing.
  GrabberResult Read(int sectors, QByteArray& buffer);
  // Whether every sector of the track has been asked for. A block whose sectors were all left
  // out reads empty before the end.
  bool AtEnd() const { return position_ >= sectors_; }
  // Moves the read position to `sector` of the track (0 .. its length).
  GrabberResult Seek(int sector);
  // The most attempts one sector has taken so far, a sector given up included (1: every
  // sector read at the first try). With careful reading, the re-reads paranoia reports.
  int WorstAttempts() const { return worst_attempts_; }
  // Sectors given up so far, whatever the error action made of them.
  int UnreadableSectors() const { return unreadable_; }

 private:
  struct Paranoia;
  static constexpr qint64 kNoSector = std::numeric_limits<qint64>::min();

  // Appends `count` disc sectors from `lsn` to `disc`, silence for those out of the drive's
  // reach, and for each whether the error action left it out (its bytes then mean nothing).
  GrabberResult ReadDisc(qint64 lsn, qint64 count, QByteArray& disc, std::vector<bool>& dropped);
  // The same for sectors within reach.
  GrabberResult ReadPlain(int lsn, int count, QByteArray& disc, std::vector<bool>& dropped);
  GrabberResult ReadCareful(int lsn, int count, QByteArray& disc, std::vector<bool>& dropped);
  // What the error action makes of a sector that could not be read and whose bytes are zeroed.
  GrabberResult Unreadable(int lsn, std::vector<bool>& dropped);
  void NoteAttempts(int attempts) { worst_attempts_ = std::max(worst_attempts_, attempts); }

  IDiscAccess& disc_;
  int first_lsn_;
  int sectors_;
  ReadSettings settings_;
  PcmTap* tap_;
  SectorSpan reach_;
  int position_ = 0;
  // The disc sector read last, which the next read starts within when the offset is not a whole
  // number of sectors.
  qint64 held_lsn_ = kNoSector;
  QByteArray held_;
  bool held_dropped_ = false;
  int careful_next_ = -1;  // the sector careful reading goes on with; -1 until it is placed
  int plain_until_ = -1;   // careful reading hands the sectors before this one to the plain reader
  int give_ups_left_ = 0;  // areas paranoia may still give up before the plain reader ends the track
  int worst_attempts_ = 1;
  int unreadable_ = 0;
  std::unique_ptr<Paranoia> paranoia_;
};

}  // namespace corvane
