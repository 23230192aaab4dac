#include "cli/LoudnessOptions.h"

#include <QJsonValue>
#include <array>

#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "encoding/LoudnessNormalization.h"
#include "tags/ReplayGainTags.h"

namespace corvane::cli {
namespace {

constexpr std::array<const char*, 3> kModeWords = {"off", "track", "album"};  // by ReplayGainMode

}  // namespace

void AddReplayGainOption(QCommandLineParser& parser) {
  parser.addOption({QStringLiteral("replaygain"), StringTable::Text(text::kReplayGainHelp), QStringLiteral("MODE")});
}

bool ReplayGainFrom(const QCommandLineParser& parser, int stored, ReplayGainMode& mode, QString& error) {
  mode = static_cast<ReplayGainMode>(stored >= 0 && stored < static_cast<int>(kModeWords.size()) ? stored : 0);
  if (!parser.isSet(QStringLiteral("replaygain"))) return true;
  const QString word = parser.value(QStringLiteral("replaygain"));
  for (size_t i = 0; i < kModeWords.size(); ++i) {
    if (word == QLatin1String(kModeWords[i])) {
      mode = static_cast<ReplayGainMode>(i);
      return true;
    }
  }
  error = StringTable::Format(text::kReplayGainUnknown, {word});
  return false;
}

bool NormalizationFrom(const QCommandLineParser& parser, SettingsStore& settings, bool& normalize, QString& error) {
  const bool peak = parser.isSet(QStringLiteral("normalize"));
  const bool loudness = parser.isSet(QStringLiteral("normalize-loudness"));
  normalize = peak || loudness;
  if (peak && loudness) {
    error = StringTable::Text(text::kNormalizeChoicesExclusive);
    return false;
  }
  // A peak run never takes up a loudness target stored by the window.
  std::optional<LoudnessTarget> target;
  if (!LoudnessTargetFrom(parser, settings, keys::section::kConvert, target, error)) return false;
  if (peak || loudness) LoudnessTarget::Write(settings, keys::section::kConvert, target);
  return true;
}

bool LoudnessTargetFrom(const QCommandLineParser& parser, const SettingsStore& settings, const char* section,
                        std::optional<LoudnessTarget>& target, QString& error) {
  target.reset();
  if (!parser.isSet(QStringLiteral("normalize-loudness"))) return true;
  LoudnessTarget chosen = LoudnessTarget::Read(settings, section).value_or(LoudnessTarget());
  bool ok = false;
  const QString lufs = parser.value(QStringLiteral("normalize-loudness"));
  chosen.lufs = lufs.toDouble(&ok);
  if (!ok || !(chosen.lufs >= LoudnessTarget::kLowestLufs && chosen.lufs <= LoudnessTarget::kHighestLufs)) {
    error = StringTable::Format(text::kNormalizeLoudnessBad, {lufs});
    return false;
  }
  if (parser.isSet(QStringLiteral("true-peak"))) {
    const QString ceiling = parser.value(QStringLiteral("true-peak"));
    chosen.ceiling = ceiling.toDouble(&ok);
    if (!ok || !(chosen.ceiling <= 0)) {
      error = StringTable::Format(text::kTruePeakBad, {ceiling});
      return false;
    }
  }
  target = chosen;
  return true;
}

QJsonObject LoudnessJson(const Loudness& loudness) {
  if (!loudness.measured) {
    return {{QStringLiteral("loudness"), QJsonValue::Null},
            {QStringLiteral("range"), QJsonValue::Null},
            {QStringLiteral("gain"), QJsonValue::Null},
            {QStringLiteral("peak"), QJsonValue::Null}};
  }
  return {{QStringLiteral("loudness"), loudness.integrated},
          {QStringLiteral("range"), loudness.range},
          {QStringLiteral("gain"), GainFor(loudness)},
          {QStringLiteral("peak"), loudness.true_peak}};
}

void AddLoudnessFields(QJsonObject& object, const Loudness& loudness) {
  const QJsonObject fields = LoudnessJson(loudness);
  for (auto field = fields.begin(); field != fields.end(); ++field) object.insert(field.key(), field.value());
}

QString LoudnessLine(const Loudness& loudness) {
  if (!loudness.measured) return StringTable::Text(text::kLoudnessSilent);
  return StringTable::Format(text::kLoudnessLine,
                             {QString::number(loudness.integrated, 'f', 2), QString::number(loudness.range, 'f', 2),
                              GainText(GainFor(loudness)), PeakText(loudness.true_peak)});
}

}  // namespace corvane::cli
