#pragma once
#include <QString>

namespace corvane {

// What the AccurateRip database says about one ripped track.
struct AccurateRipVerdict {
  enum class Kind { Accurate, NotAccurate, NotInDatabase, Unreachable };
  Kind kind = Kind::NotInDatabase;
  // Accurate: how many rips agree with this one. NotAccurate: the most rips that agree on any
  // other checksum of the track. Otherwise 0.
  int confidence = 0;

  friend bool operator==(const AccurateRipVerdict&, const AccurateRipVerdict&) = default;
};

// "Accurately ripped (confidence 5)", "Not accurate", "Not in database", "Database unreachable".
QString AccurateRipVerdictText(const AccurateRipVerdict& verdict);

// "AccurateRip: 11 of 12 tracks accurate"
QString AccurateRipSummaryText(int accurateTracks, int tracks);

}  // namespace corvane
