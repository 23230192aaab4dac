#include "encoding/LoudnessNormalization.h"

#include <algorithm>
#include <cmath>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "encoding/FileLoudness.h"
#include "engine/AudioStream.h"

namespace corvane {
namespace {

enum class NormalizationMode : int { Peak = 0, Loudness = 1 };

// Kept below the ceiling besides: true-peak meters oversample differently (ffmpeg's reads up to
// 0.1 dB above libebur128's on broadband sound), and a player's meter must not see it passed.
constexpr double kCeilingMargin = 0.1;

double StoredNumber(const SettingsStore& settings, const char* section, const char* key, double fallback) {
  bool ok = false;
  const double value = settings.ReadText(section, key).toDouble(&ok);
  return ok && std::isfinite(value) ? value : fallback;
}

}  // namespace

std::optional<LoudnessTarget> LoudnessTarget::Read(const SettingsStore& settings, const char* section) {
  if (settings.ReadNumber(section, keys::kNormalizationMode, 0) != static_cast<int>(NormalizationMode::Loudness)) {
    return std::nullopt;
  }
  LoudnessTarget target;
  target.lufs =
      std::clamp(StoredNumber(settings, section, keys::kLoudnessTarget, kDefaultLufs), kLowestLufs, kHighestLufs);
  target.ceiling = std::min(StoredNumber(settings, section, keys::kTruePeakCeiling, kDefaultCeiling), 0.0);
  return target;
}

void LoudnessTarget::Write(SettingsStore& settings, const char* section, const std::optional<LoudnessTarget>& target) {
  const NormalizationMode mode = target ? NormalizationMode::Loudness : NormalizationMode::Peak;
  settings.WriteNumber(section, keys::kNormalizationMode, static_cast<int>(mode));
  if (!target) return;
  settings.WriteText(section, keys::kLoudnessTarget, QString::number(target->lufs));
  settings.WriteText(section, keys::kTruePeakCeiling, QString::number(target->ceiling));
}

double LoudnessGainFor(const Loudness& measured, const LoudnessTarget& target) {
  if (!measured.measured) return 0;
  double gain = target.lufs - measured.integrated;
  if (measured.true_peak > 0) {
    gain = std::min(gain, target.ceiling - kCeilingMargin - 20 * std::log10(measured.true_peak));
  }
  return gain;
}

Loudness MeasureStreamLoudness(AudioStream& stream) {
  LoudnessMeter meter(stream.Info().rate, stream.Info().channels);
  // A read that fails leaves the audio measured so far: the encoding after it fails on its own.
  (void)MeasureStream(stream, meter);
  return meter.Result();
}

void AttachGain(AudioStream& stream, double gainDb) {
  if (gainDb == 0 || !std::isfinite(gainDb)) return;
  const double factor = std::pow(10.0, gainDb / 20.0);
  stream.SetSampleProcessor([factor](qint16* samples, int count) {
    for (int i = 0; i < count; ++i) {
      samples[i] = static_cast<qint16>(std::clamp(std::lround(samples[i] * factor), -32768L, 32767L));
    }
  });
}

}  // namespace corvane
