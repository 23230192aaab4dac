#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "common/PcmTaps.h"
#include "components/accuraterip/AccurateRipChecksum.h"
#include "components/accuraterip/AccurateRipVerdict.h"
#include "encoding/ReplayGain.h"
#include "ripper/AccurateRipCheck.h"
#include "ripper/RipTrack.h"

namespace corvane {

// One chosen track of a rip session and how it ended.
struct RipSessionTrack {
  int row = 0;           // the disc's track row, from 0
  int number = 0;        // the track's number on the disc
  int audio_index = -1;  // among the disc's audio tracks (AccurateRipDiscId's order); -1: none
  int sectors = 0;       // its length as the grabber's table gives it; 0: unknown
  QString output;
  RipResult result = RipResult::Skipped;  // how it ended, once it has
  QString status;                         // the status word
  QString detail;                         // why it failed, or what it met while read
  double seconds = 0;
  bool done = false;
  bool failed = false;
  bool ended = false;  // its result is in and may be reported
  // Sees the audio as read; null for a track without a place among the disc's audio tracks.
  std::unique_ptr<AccurateRipChecksum> checksum;
  // Measures the audio as read, with ReplayGain on; null otherwise.
  std::unique_ptr<ReplayGainTrack> replaygain;
  PcmTaps taps;  // the checksum's and the measurement's
  RipReadStats stats;
  std::optional<AccurateRipVerdict> verdict;

  // The checksums as its reader computed them; only `audioIndex` when it had no checksum.
  TrackChecksums Checksums() const;
};

// How the chosen tracks of a run ended, as the end of the run tells it.
struct RipTally {
  int ripped = 0;
  QStringList failed;  // the failed tracks' names
  int cancelled = 0;

  // Every track ripped, but those whose existing output the user kept.
  bool AllRipped() const { return ripped > 0 && failed.isEmpty() && cancelled == 0; }
  // The counts and the failed tracks, in the words of a conversion's summary.
  QString Summary(const QString& outputFolder) const;
};

RipTally TallyTracks(const std::vector<RipSessionTrack>& tracks);

}  // namespace corvane
