#include "cli/OutputOptions.h"
#include "cli/LoudnessOptions.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>

#include "cli/ConsoleUserInterface.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "common/strings/FormatText.h"
#include "formats/OutputFormatCatalogue.h"
#include "presets/COutputQualityMgmt.h"

namespace corvane::cli {
namespace {

using Outcome = Result<OptionsFailure>;

Outcome Refuse(const QString& reason) { return Outcome::Failure(OptionsFailure::Refused, reason); }

// "a, b or c."
QString ChoiceList(QStringList names) {
  const QString last = names.takeLast();
  return StringTable::Format(text::kChoiceListHelp, {names.join(QStringLiteral(", ")), last});
}

QString FormatChoices() {
  QStringList names;
  for (const OutputFormatInfo& format : catalogue::kFormats) names << QString::fromLatin1(format.extension + 1);
  return ChoiceList(names);
}

QString WavCodecChoices() {
  QStringList names;
  for (const WavCodecInfo& codec : catalogue::kWavCodecs) names << QString::fromLatin1(codec.option);
  return ChoiceList(names);
}

// "telephone, thumb, ... braindead.": every Musepack preset, in the catalogue's order.
QString MusepackPresetNames() {
  QStringList names;
  for (const char* name : catalogue::kMusepackPresets) names << QString::fromLatin1(name);
  return names.join(QStringLiteral(", ")) + QLatin1Char('.');
}

Outcome ReadInt(const QCommandLineParser& parser, const QString& name, int& value) {
  if (!parser.isSet(name)) return Outcome::Success();
  bool ok = false;
  value = parser.value(name).toInt(&ok);
  if (ok) return Outcome::Success();
  return Refuse(StringTable::Format(text::kOptionNotANumber, {name, parser.value(name)}));
}

// The settings of the preset the options start from.
ValueResult<EncodeSettings, OptionsFailure> PresetSettings(const QCommandLineParser& parser,
                                                           const COutputQualityMgmt& presets,
                                                           const SettingsStore& stored, const QString& defaultPreset) {
  QString name = defaultPreset;
  if (parser.isSet(QStringLiteral("preset"))) {
    name = parser.value(QStringLiteral("preset"));
  } else if (name.isEmpty()) {
    name = stored.ReadText(keys::section::kConvert, keys::kOutputQualityName, QStringLiteral("CD Quality"));
  }
  for (int i = 0; i < presets.Count(); ++i) {
    if (presets.At(i).name == name) return ValueResult<EncodeSettings, OptionsFailure>::Success(presets.At(i).settings);
  }
  if (parser.isSet(QStringLiteral("preset"))) {
    return ValueResult<EncodeSettings, OptionsFailure>::Failure(OptionsFailure::Refused,
                                                                StringTable::Format(text::kUnknownPreset, {name}));
  }
  return ValueResult<EncodeSettings, OptionsFailure>::Success(presets.Count() > 0 ? presets.At(0).settings
                                                                                  : EncodeSettings{});
}

Outcome ApplyFormat(const QCommandLineParser& parser, EncodeSettings& settings) {
  if (!parser.isSet(QStringLiteral("format"))) return Outcome::Success();
  const QString wanted = parser.value(QStringLiteral("format")).toLower();
  const OutputFormatInfo* format = catalogue::FindFormatByExtension(wanted);
  if (format == nullptr) return Refuse(StringTable::Format(text::kUnknownFormat, {wanted}));
  settings.format = format->code;
  return Outcome::Success();
}

Outcome ApplyNumbers(const QCommandLineParser& parser, EncodeSettings& settings) {
  const std::pair<const char*, int*> numbers[] = {{"rate", &settings.sample_rate},
                                                  {"bitrate", &settings.bitrate},
                                                  {"channels", &settings.channels},
                                                  {"bits", &settings.bits},
                                                  {"vbr-quality", &settings.mp3_vbr_quality},
                                                  {"wma-quality", &settings.wma_quality}};
  for (const auto& [name, value] : numbers) {
    if (Outcome read = ReadInt(parser, QString::fromLatin1(name), *value); read.Failed()) return read;
  }
  // A WMA quality is a VBR quality.
  if (parser.isSet(QStringLiteral("wma-quality")) || parser.isSet(QStringLiteral("vbr"))) settings.vbr_enabled = true;
  return Outcome::Success();
}

Outcome ApplyNamedChoices(const QCommandLineParser& parser, EncodeSettings& settings) {
  if (parser.isSet(QStringLiteral("wav-codec"))) {
    const QString name = parser.value(QStringLiteral("wav-codec")).toLower();
    const WavCodecInfo* codec = catalogue::FindWavCodecByOption(name);
    if (codec == nullptr) return Refuse(StringTable::Format(text::kUnknownWavCodec, {name}));
    settings.wav_codec = codec->code;
  }
  if (parser.isSet(QStringLiteral("mpc-preset"))) {
    const QString preset = parser.value(QStringLiteral("mpc-preset")).toLower();
    const auto& names = catalogue::kMusepackPresets;
    const auto* match =
        std::find_if(names.begin(), names.end(), [&preset](const char* n) { return preset == QLatin1String(n); });
    if (match == names.end()) return Refuse(StringTable::Format(text::kUnknownMusepackPreset, {preset}));
    settings.musepack_preset = static_cast<int>(match - names.begin());
  }
  return Outcome::Success();
}

// The values the catalogue offers.
Outcome CheckOffered(const EncodeSettings& settings) {
  if (catalogue::PositionOfSampleRate(settings.sample_rate) < 0) {
    return Refuse(StringTable::Format(text::kRateNotOffered, {settings.sample_rate}));
  }
  if (settings.bitrate != 0 && catalogue::PositionOfBitrate(settings.bitrate) < 0) {
    return Refuse(StringTable::Format(text::kBitrateNotOffered, {settings.bitrate}));
  }
  if (settings.channels != 1 && settings.channels != 2) return Refuse(StringTable::Text(text::kChannelsRange));
  if (settings.bits != 8 && settings.bits != 16) return Refuse(StringTable::Text(text::kBitsRange));
  if (settings.mp3_vbr_quality < 0 || settings.mp3_vbr_quality > 9) {
    return Refuse(StringTable::Text(text::kVbrQualityRange));
  }
  return Outcome::Success();
}

}  // namespace

void AddOutputOptions(QCommandLineParser& parser) {
  parser.addOptions({
      {QStringLiteral("preset"), StringTable::Text(text::kPresetHelp), QStringLiteral("NAME")},
      {QStringLiteral("format"), FormatChoices(), QStringLiteral("FMT")},
      {QStringLiteral("rate"), StringTable::Text(text::kRateHelp), QStringLiteral("HZ")},
      {QStringLiteral("bitrate"), StringTable::Text(text::kBitrateHelp), QStringLiteral("KBPS")},
      {QStringLiteral("channels"), StringTable::Text(text::kChannelsHelp), QStringLiteral("N")},
      {QStringLiteral("bits"), StringTable::Text(text::kBitsHelp), QStringLiteral("N")},
      {QStringLiteral("vbr"), StringTable::Text(text::kVbrHelp)},
      {QStringLiteral("vbr-quality"), StringTable::Text(text::kVbrQualityHelp), QStringLiteral("Q")},
      {QStringLiteral("wav-codec"), WavCodecChoices(), QStringLiteral("CODEC")},
      {QStringLiteral("mpc-preset"), MusepackPresetNames(), QStringLiteral("NAME")},
      {QStringLiteral("wma-quality"), StringTable::Text(text::kWmaQualityHelp), QStringLiteral("Q")},
  });
}

void AddConvertOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(StringTable::Text(text::kConvertDescription));
  parser.addPositionalArgument(QStringLiteral("convert"), StringTable::Text(text::kCliTheCommand));
  parser.addPositionalArgument(QStringLiteral("PATH"), StringTable::Text(text::kConvertPathsHelp),
                               QStringLiteral("PATH..."));
  AddOutputOptions(parser);
  parser.addOptions({
      {QStringLiteral("type"), StringTable::Text(text::kTypeHelp), QStringLiteral("TYPE")},
      {QStringLiteral("no-subfolders"), StringTable::Text(text::kNoSubfoldersHelp)},
      {QStringLiteral("output"), StringTable::Text(text::kOutputHelp), QStringLiteral("DIR")},
      {QStringLiteral("same-folder"), StringTable::Text(text::kSameFolderHelp)},
      {QStringLiteral("normalize"), StringTable::Text(text::kNormalizeHelp), QStringLiteral("PCT")},
      {QStringLiteral("normalize-loudness"), StringTable::Text(text::kNormalizeLoudnessHelp), QStringLiteral("LUFS")},
      {QStringLiteral("true-peak"), StringTable::Text(text::kTruePeakHelp), QStringLiteral("DBTP")},
      {QStringLiteral("no-tags"), StringTable::Text(text::kNoTagsHelp)},
      {QStringLiteral("overwrite"), StringTable::Text(text::kOverwriteHelp)},
      {QStringLiteral("skip-existing"), StringTable::Text(text::kSkipExistingHelp)},
      {QStringLiteral("rename"), StringTable::Text(text::kRenameHelp)},
      {QStringLiteral("jobs"), StringTable::Text(text::kJobsHelp), QStringLiteral("N")},
      {QStringLiteral("json"), StringTable::Text(text::kConvertJsonHelp)},
  });
  AddReplayGainOption(parser);
}

bool CheckBeforeRun(const EncodeSettings& settings, QString& error) {
  if (settings.format != FormatCode::Wma) return true;
  if (settings.vbr_enabled) {
    error = StringTable::Text(text::kMsgNoWmaVbrQuality);  // this WMA encoder offers no VBR qualities
    return false;
  }
  if (settings.bitrate <= 0) {
    error = StringTable::Text(text::kMsgNoBitrate);
    return false;
  }
  return true;
}

ValueResult<EncodeSettings, OptionsFailure> OutputSettingsFrom(const QCommandLineParser& parser,
                                                               const COutputQualityMgmt& presets,
                                                               const SettingsStore& stored,
                                                               const QString& defaultPreset) {
  ValueResult<EncodeSettings, OptionsFailure> chosen = PresetSettings(parser, presets, stored, defaultPreset);
  if (!chosen.Succeeded()) return chosen;
  EncodeSettings& settings = *chosen.value;
  for (auto apply : {ApplyFormat, ApplyNumbers, ApplyNamedChoices}) {
    if (Outcome applied = apply(parser, settings); applied.Failed()) return {std::nullopt, applied};
  }
  if (Outcome offered = CheckOffered(settings); offered.Failed()) return {std::nullopt, offered};
  return chosen;
}

void ReportRunEnd(Console& console, bool json, const QString& summary, const QString& countName, int count,
                  int succeeded, int failed, bool interrupted, const QJsonObject& extra) {
  if (!json) return console.Print(summary);
  QJsonObject object{{QStringLiteral("summary"), summary},
                     {countName, count},
                     {QStringLiteral("succeeded"), succeeded},
                     {QStringLiteral("failed"), failed},
                     {QStringLiteral("interrupted"), interrupted}};
  for (auto field = extra.begin(); field != extra.end(); ++field) object.insert(field.key(), field.value());
  std::fputs(QJsonDocument(object).toJson(QJsonDocument::Compact).constData(), stdout);
  std::fputc('\n', stdout);
}

bool LoadOutputSettings(Console& console, const QCommandLineParser& parser, COutputQualityMgmt& presets,
                        const SettingsStore& stored, EncodeSettings& settings, QString& error) {
  JobConsole loader(console, -1, QString());
  presets.Load(QString(), loader);
  const ValueResult<EncodeSettings, OptionsFailure> chosen = OutputSettingsFrom(parser, presets, stored);
  if (!chosen.Succeeded()) {
    error = chosen.status.text;
    return false;
  }
  settings = *chosen.value;
  return CheckBeforeRun(settings, error);
}

}  // namespace corvane::cli
