#include "cli/PresetsCommand.h"

#include <QCommandLineParser>
#include <cstdio>

#include "cli/CommandParsing.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/OutputOptions.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "formats/OutputFormatCatalogue.h"
#include "presets/COutputQualityMgmt.h"

namespace corvane::cli {
namespace {

int Find(const COutputQualityMgmt& presets, const QString& name) {
  for (int i = 0; i < presets.Count(); ++i) {
    if (presets.At(i).name.compare(name, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

QString Describe(const OutputQuality& preset) {
  const EncodeSettings& s = preset.settings;
  const auto& codec = catalogue::kWavCodecs[static_cast<size_t>(std::clamp(static_cast<int>(s.wav_codec), 0, 3))];
  const char* musepack = catalogue::kMusepackPresets[static_cast<size_t>(std::clamp(s.musepack_preset, 0, 6))];
  return StringTable::Format(text::kPresetDescription,
                             {preset.name, catalogue::NameOf(s.format), s.sample_rate, s.bitrate, s.channels, s.bits,
                              StringTable::Text(s.vbr_enabled ? text::kOn : text::kOff), s.mp3_vbr_quality,
                              s.wma_quality, QString::fromLatin1(codec.name), QString::fromLatin1(musepack)});
}

}  // namespace

int RunPresetsCommand(const QStringList& arguments, SettingsStore& settings) {
  QCommandLineParser parser;
  parser.setApplicationDescription(StringTable::Text(text::kPresetsDescription));
  parser.addPositionalArgument(QStringLiteral("presets"), StringTable::Text(text::kCliTheCommand));
  parser.addPositionalArgument(QStringLiteral("ACTION"), StringTable::Text(text::kPresetsActionHelp));
  parser.addPositionalArgument(QStringLiteral("NAME"), StringTable::Text(text::kPresetsNameHelp));
  AddOutputOptions(parser);
  if (const std::optional<int> done = ParseCommand(parser, arguments)) return *done;
  const QStringList words = parser.positionalArguments().mid(1);
  const QString action = words.value(0);
  const QString name = words.mid(1).join(QLatin1Char(' ')).trimmed();
  Console console(ExistingOutput::Skip, false, false, false);
  JobConsole ui(console, 0, QString());
  COutputQualityMgmt presets(settings);
  presets.Load(QString(), ui);

  if (action == QLatin1String("list")) {
    for (int i = 0; i < presets.Count(); ++i) console.Print(presets.At(i).name);
    return 0;
  }
  if (action == QLatin1String("reset")) return presets.ResetPresets(ui) ? 0 : 1;
  if (name.isEmpty() ||
      (action != QLatin1String("show") && action != QLatin1String("save") && action != QLatin1String("remove"))) {
    console.Message(StringTable::Text(text::kPresetsUsage));
    return 2;
  }
  const int found = Find(presets, name);
  if (action == QLatin1String("show")) {
    if (found < 0) {
      console.Message(StringTable::Format(text::kNoPresetNamed, {name}));
      return 2;
    }
    console.Print(Describe(presets.At(found)));
    return 0;
  }
  if (action == QLatin1String("remove")) {
    if (found < 0) {
      console.Message(StringTable::Format(text::kNoPresetNamed, {name}));
      return 2;
    }
    return presets.RemovePreset(found + 1, ui) ? 0 : 1;
  }
  // save: a new preset, or new settings for an existing one; unset options keep the current values.
  OutputQuality preset;
  preset.name = name.left(OutputQuality::kMaxNameLength);
  const ValueResult<EncodeSettings, OptionsFailure> chosen =
      OutputSettingsFrom(parser, presets, settings, found >= 0 ? presets.At(found).name : QString());
  if (!chosen.Succeeded()) {
    console.Message(chosen.status.text);
    return 2;
  }
  preset.settings = *chosen.value;
  if (found >= 0) return presets.UpdatePreset(found + 1, preset.settings, ui) ? 0 : 1;
  // The count grows only when the file took the new preset.
  const int before = presets.Count();
  return presets.AddPreset(preset, ui) > before ? 0 : 1;
}

}  // namespace corvane::cli
