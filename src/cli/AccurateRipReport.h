#pragma once
// How corvane-cli shows the AccurateRip checksums of ripped or verified tracks and what the
// database says of them: one line or JSON fields per track, and the disc's part of the summary.
#include <QJsonObject>
#include <QString>
#include <optional>

#include "ripper/AccurateRipCheck.h"

namespace corvane::cli {

// A checksum as 8 upper-case hex digits.
QString ChecksumHex(quint32 value);

// "track 02  CRC32 1A2B3C4D  v1 ...  v2 ...  Accurately ripped (confidence 5)"; without a
// verdict the line ends after v2. Checksums of audio not seen whole read "not computed".
QString ChecksumLine(const QString& name, const TrackChecksums& sums, const std::optional<AccurateRipVerdict>& verdict);

// Adds "crc32", "accuraterip_v1", "accuraterip_v2" (null when not computed) and, with a verdict,
// "accuraterip" (its text) and "confidence".
void AddChecksumFields(QJsonObject& object, const TrackChecksums& sums,
                       const std::optional<AccurateRipVerdict>& verdict);

// {"status": "found" | "not found" | "unreachable" | "discarded", "accurate": N, "tracks": M}
QJsonObject CheckSummaryObject(const AccurateRipCheckResult& result);

}  // namespace corvane::cli
