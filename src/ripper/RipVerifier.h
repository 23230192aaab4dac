#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "ripper/AccurateRipCheck.h"
#include "ripper/DiscVerification.h"
#include "ripper/RipSessionTrack.h"

namespace corvane {

class PcmTap;
class SettingsStore;

// The proof side of the window's rip run: the checksums of every track as it is read, the
// database's verdict on them at the end, and the plain-text log beside the tracks, through the
// same check and log as the headless session.
class RipVerifier {
 public:
  // What the log says of how the run read.
  struct RunFacts {
    QString device;  // drive path or disc image
    int grab_mode = 2;
    int retries = 5;
    int error_action = 1;
    QString output_format;
    QString album;
  };

  // Reads the disc's table and the drive's read offset ("Read Offset" of its identifier; 0 for
  // an image) at the start of a run.
  void Start(const RunFacts& facts, const SettingsStore& settings);
  int ReadOffset() const { return read_offset_; }

  // A fresh checksum for the track of row `row`, for its reader to feed; null for a data track
  // or a disc whose table could not be read. Valid until the next BeginTrack or TrackRipped.
  PcmTap* BeginTrack(int row);
  // Row `row` was ripped whole into `output`.
  void TrackRipped(int row, const QString& title, const QString& output, int worstAttempts, int readErrors);

  // After the last track: asks the database unless "Verify with AccurateRip" is off, writes the
  // log into `logFolder` unless "Rip Log" is off, and gives the line for the completion window
  // (empty when nothing was checked).
  QString Finish(const SettingsStore& settings, const QString& logFolder);
  // The verdict texts of the tracks ripped, in order; valid after Finish.
  const std::optional<AccurateRipCheckResult>& Result() const { return result_; }
  // Each ripped row with its verdict (when checked) and checksums on lines of their own; valid
  // after Finish.
  std::vector<std::pair<int, QString>> RowDetails() const;

 private:
  RunFacts facts_;
  std::optional<DiscVerification> disc_;
  int read_offset_ = 0;
  std::unique_ptr<AccurateRipChecksum> current_;
  int current_row_ = -1;
  std::vector<RipSessionTrack> ripped_;
  QStringList titles_;  // by row, of the tracks ripped
  std::optional<AccurateRipCheckResult> result_;
};

}  // namespace corvane
