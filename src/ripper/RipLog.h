#pragma once
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace corvane {

// One ripped track as the log keeps it.
struct RipLogTrack {
  int number = 1;
  QString title;
  QString file;           // the output file's path
  int read_errors = 0;    // sectors the drive could not read however often it was asked
  int worst_retries = 0;  // the most attempts one sector needed
  // Absent when the rip could not see the track's audio whole (as when error blocks were dropped).
  std::optional<quint32> crc32;
  std::optional<quint32> v1;
  std::optional<quint32> v2;
  QString verdict;  // as shown to the user, e.g. "Accurately ripped (confidence 5)"
  // With ReplayGain: "-14.20 LUFS", "-3.80 dB", "0.977237"; empty: not measured, not logged.
  QString loudness;
  QString gain;
  QString peak;
};

// Everything a rip log holds, as plain values.
struct RipLogData {
  QString program = QStringLiteral("Corvane");
  QString version = QStringLiteral(CORVANE_VERSION);
  QDateTime date;
  QString drive;  // the drive's identifier, or the disc image's path
  int read_offset = 0;
  int grab_mode_preset = 2;  // as stored: 1 fast .. 4 unreadable disc
  int retries = 5;
  int error_action = 1;  // as stored: 0 stop, 1 insert silence, 2 discard
  QString output_format;
  QString accurate_rip_id;  // "dBAR-nnn-id1-id2-cddb"
  QString cddb_id;
  QString database_status;  // the look-up's outcome in one line
  std::vector<RipLogTrack> tracks;
  QString summary;  // e.g. "AccurateRip: 11 of 12 tracks accurate"
  // In album mode, the tracks' loudness taken together, as for a track; empty: not logged.
  QString album_loudness;
  QString album_gain;
  QString album_peak;
};

// A checksum as the log and the track list show it: 8 upper-case hex digits.
QString ChecksumText(quint32 value);

// The log as text: a block of the rip's settings and the disc, one block per track, the summary
// last. Lines end in "\n"; checksums are 8 upper-case hex digits.
QString FormatRipLog(const RipLogData& data);

// Writes the log as UTF-8 to `path` through a temporary file renamed over it at the end, so that
// a failed write leaves no half log; false when it could not be written.
bool WriteRipLog(const QString& path, const RipLogData& data);

// A free name for the log in `folder`: the album's name made safe for a file name ("Rip" without
// one) with ".log", or "name (2).log", "name (3).log", ... when that is taken.
QString FreeRipLogPath(const QString& folder, const QString& album);

}  // namespace corvane
