#pragma once
#include <optional>

#include "components/loudness/LoudnessMeter.h"

namespace corvane {

class AudioStream;
class SettingsStore;

// Loudness normalisation: the gain that brings a file's integrated loudness to a target, lowered
// where the file's true peak would pass a ceiling (never clipped). Stored beside peak
// normalisation in a page's settings group: "Normalization Mode" 0 peak (the percent box), 1
// loudness with "Loudness Target" (LUFS) and "True Peak Ceiling" (dBTP).
struct LoudnessTarget {
  static constexpr double kDefaultLufs = -18.0;
  static constexpr double kDefaultCeiling = -1.0;
  static constexpr double kLowestLufs = -70.0;  // the measurement's absolute gate
  static constexpr double kHighestLufs = 0.0;

  double lufs = kDefaultLufs;
  double ceiling = kDefaultCeiling;  // dBTP, at most 0

  // The target `section` holds when its mode is loudness; nullopt for peak normalisation.
  static std::optional<LoudnessTarget> Read(const SettingsStore& settings, const char* section);
  // Stores the mode (loudness when `target` is given) and the target's values.
  static void Write(SettingsStore& settings, const char* section, const std::optional<LoudnessTarget>& target);
};

// The gain in dB for audio of loudness `measured`: target minus loudness, at most what keeps the
// true peak a tenth of a dB below the ceiling. 0 for audio without a loudness (silence).
double LoudnessGainFor(const Loudness& measured, const LoudnessTarget& target);

// Reads `stream` from where it stands to its end through a loudness meter.
Loudness MeasureStreamLoudness(AudioStream& stream);

// Multiplies every 16-bit sample the stream delivers from now on by `gainDb` (rounded, held
// within the 16-bit range). Nothing for a gain of 0.
void AttachGain(AudioStream& stream, double gainDb);

}  // namespace corvane
