#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "ripper/AccurateRipCheck.h"
#include "ripper/DiscVerification.h"
#include "ripper/RipLog.h"
#include "ripper/RipSessionTrack.h"

namespace corvane {

class SettingsStore;

// Asks the database about the tracks ripped whole with a checksum, in track order, and gives each
// its verdict; nullopt when there is none to ask about.
std::optional<AccurateRipCheckResult> CheckRippedTracks(std::vector<RipSessionTrack>& tracks,
                                                        const DiscVerification& disc, const SettingsStore& settings);

// How a run read, as its log tells it.
struct RipLogFacts {
  QString device;  // the drive's path or the disc image
  ReadSettings careful;
  QString output_format;
  QStringList titles;             // by row
  std::optional<Loudness> album;  // ReplayGain's album mode
};

// The log of the tracks ripped whole, with the database's answer when it was asked.
RipLogData RipLogOf(const std::vector<RipSessionTrack>& tracks, const RipLogFacts& facts,
                    const std::optional<DiscVerification>& disc, const std::optional<AccurateRipCheckResult>& check);

}  // namespace corvane
