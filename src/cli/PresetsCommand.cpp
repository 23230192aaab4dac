#include "cli/PresetsCommand.h"

#include <QCommandLineParser>
#include <cstdio>

#include "cli/CommandParsing.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/OutputOptions.h"
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
  return QStringLiteral(
             "%1\n  format %2, %3 Hz, %4 kbps, %5 channel(s), %6 bits\n  VBR %7 (MP3 quality %8, WMA quality %9), "
             "WAV codec %10, Musepack preset %11")
      .arg(preset.name, catalogue::NameOf(s.format))
      .arg(s.sample_rate)
      .arg(s.bitrate)
      .arg(s.channels)
      .arg(s.bits)
      .arg(s.vbr_enabled ? QStringLiteral("on") : QStringLiteral("off"))
      .arg(s.mp3_vbr_quality)
      .arg(s.wma_quality)
      .arg(QString::fromLatin1(
          catalogue::kWavCodecs[static_cast<size_t>(std::clamp(static_cast<int>(s.wav_codec), 0, 3))].name))
      .arg(QString::fromLatin1(catalogue::kMusepackPresets[static_cast<size_t>(std::clamp(s.musepack_preset, 0, 6))]));
}

}  // namespace

int RunPresetsCommand(const QStringList& arguments, SettingsStore& settings) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Lists and edits the output quality presets."));
  parser.addPositionalArgument(QStringLiteral("presets"), QStringLiteral("The command."));
  parser.addPositionalArgument(QStringLiteral("ACTION"), QStringLiteral("list, show, save, remove or reset."));
  parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("Preset name (show, save, remove)."));
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
    console.Message(
        QStringLiteral("usage: corvane-cli presets list | show NAME | save NAME [options] | remove NAME | reset"));
    return 2;
  }
  const int found = Find(presets, name);
  if (action == QLatin1String("show")) {
    if (found < 0) {
      console.Message(QStringLiteral("no preset is named '%1'").arg(name));
      return 2;
    }
    console.Print(Describe(presets.At(found)));
    return 0;
  }
  if (action == QLatin1String("remove")) {
    if (found < 0) {
      console.Message(QStringLiteral("no preset is named '%1'").arg(name));
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
