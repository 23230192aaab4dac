#include "cli/LoudnessCommand.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CommandParsing.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/LoudnessOptions.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "common/strings/ConverterText.h"
#include "common/strings/FormatText.h"
#include "encoding/FileLoudness.h"
#include "encoding/ReplayGain.h"

namespace corvane::cli {
namespace {

void PrintJson(Console& console, QJsonObject object, const Loudness& loudness) {
  AddLoudnessFields(object, loudness);
  console.Print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

}  // namespace

int RunLoudnessCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(StringTable::Text(text::kLoudnessDescription));
  parser.addPositionalArgument(QStringLiteral("loudness"), StringTable::Text(text::kCliTheCommand));
  parser.addPositionalArgument(QStringLiteral("FILE"), StringTable::Text(text::kLoudnessFilesHelp),
                               QStringLiteral("FILE..."));
  parser.addOption({QStringLiteral("tag"), StringTable::Text(text::kLoudnessTagHelp)});
  parser.addOption({QStringLiteral("json"), StringTable::Text(text::kLoudnessJsonHelp)});
  if (const std::optional<int> done = ParseCommand(parser, arguments)) return *done;
  const QStringList paths = parser.positionalArguments().mid(1);
  if (paths.isEmpty()) {
    PrintError(StringTable::Text(text::kLoudnessNothingGiven));
    return kExitUsage;
  }
  const bool json = parser.isSet(QStringLiteral("json"));
  const bool tag = parser.isSet(QStringLiteral("tag"));
  Console console(ExistingOutput::Skip, false, false, json);
  ReplayGainAlbums album;
  int failures = 0;
  for (const QString& given : paths) {
    const QString path = QFileInfo(given).absoluteFilePath();
    QString detail;
    std::unique_ptr<LoudnessMeter> meter;
    const FormatCode format = FormatOfExtension(path);
    if (!QFileInfo(path).isFile()) {
      detail = StringTable::Format(
          text::kLoudnessUnreadable,
          {path, StringTable::Text(QFileInfo::exists(path) ? text::kNotARegularFile : text::kSourceMissing)});
    } else if (tag && GainTagStyleOf(format) == GainTagStyle::None) {
      detail = StringTable::Format(text::kLoudnessNoTags, {path});
    } else {
      meter = MeasureFileLoudness(path, detail);
      if (!meter) detail = StringTable::Format(text::kLoudnessUnreadable, {path, detail});
    }
    const Loudness loudness = meter ? meter->Result() : Loudness();
    if (!meter) ++failures;
    if (json) {
      PrintJson(console,
                {{QStringLiteral("path"), path},
                 {QStringLiteral("ok"), meter != nullptr},
                 {QStringLiteral("detail"), detail}},
                loudness);
    } else if (meter) {
      console.Print(path + QStringLiteral(": ") + LoudnessLine(loudness));
    } else {
      console.Message(detail);
    }
    if (meter) album.Add(QString(), path, tag ? format : FormatCode::None, std::move(meter));
  }
  QStringList untagged;
  const std::vector<ReplayGainAlbums::Album> measured = album.WriteAlbumTags(untagged);
  const Loudness together = measured.empty() ? Loudness() : measured.front().loudness;
  for (const QString& path : untagged) console.Message(StringTable::Format(text::kLoudnessTagFailed, {path}));
  failures += static_cast<int>(untagged.size());
  if (json) {
    PrintJson(console,
              {{QStringLiteral("album"), true},
               {QStringLiteral("files"), static_cast<int>(paths.size())},
               {QStringLiteral("failed"), failures}},
              together);
  } else {
    console.Print(StringTable::Format(text::kLoudnessAlbumLine, {LoudnessLine(together)}));
  }
  return failures > 0 ? kExitSomeFailed : kExitOk;
}

}  // namespace corvane::cli
