#pragma once
#include <cdio/cdio.h>

#include <QByteArray>
#include <algorithm>
#include <memory>

#include "components/GrabberError.h"

namespace corvane {

// How a track is read: grab mode 0 or 1 reads the sectors as the drive returns them; 2 to 4 go
// through libcdio-paranoia with full verification, 3 and 4 allowing more re-reads before a
// sector is given up. A sector that still fails after `retries` attempts is handled by the
// error action: 0 stops with ReadError, 1 returns silence in its place, 2 leaves it out.
struct ReadSettings {
  int grabMode = 1;
  int errorAction = 0;
  int retries = 0;
};

// Reads one audio track of an open disc sector by sector, as 16-bit stereo little-endian PCM.
class TrackReader {
 public:
  static constexpr int kSectorBytes = 2352;

  TrackReader(CdIo_t* cdio, int firstLsn, int sectors, ReadSettings settings);
  ~TrackReader();
  TrackReader(const TrackReader&) = delete;
  TrackReader& operator=(const TrackReader&) = delete;

  // Sets up careful reading when the grab mode asks for it.
  GrabberResult Open();
  // Up to `sectors` whole sectors from the read position; empty at the end of the track.
  GrabberResult Read(int sectors, QByteArray& buffer);
  // Moves the read position to `sector` of the track (0 .. its length).
  GrabberResult Seek(int sector);
  // The most attempts one sector has taken so far, a sector given up included (1: every
  // sector read at the first try). With careful reading, the re-reads paranoia reports.
  int WorstAttempts() const { return worst_attempts_; }

 private:
  struct Paranoia;

  GrabberResult ReadPlain(int lsn, int count, QByteArray& buffer);
  GrabberResult ReadCareful(int lsn, int count, QByteArray& buffer);
  // What the error action makes of a sector that could not be read.
  GrabberResult Unreadable(int lsn, QByteArray& buffer);
  void NoteAttempts(int attempts) { worst_attempts_ = std::max(worst_attempts_, attempts); }

  CdIo_t* cdio_;
  int first_lsn_;
  int sectors_;
  ReadSettings settings_;
  int position_ = 0;
  int worst_attempts_ = 1;
  std::unique_ptr<Paranoia> paranoia_;
};

}  // namespace corvane
