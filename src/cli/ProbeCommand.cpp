#include "cli/ProbeCommand.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "cli/CommandParsing.h"
#include "cli/ConsoleUserInterface.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "probe/AudioFileDescription.h"

namespace corvane::cli {
namespace {

QString LengthText(qint64 ms) {
  const qint64 seconds = ms / 1000;
  return QStringLiteral("%1:%2:%3")
      .arg(seconds / 3600)
      .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

int RunProbeCommand(const QStringList& arguments, const CAudioEngine& engine) {
  QCommandLineParser parser;
  parser.setApplicationDescription(StringTable::Text(text::kProbeDescription));
  parser.addPositionalArgument(QStringLiteral("probe"), StringTable::Text(text::kCliTheCommand));
  parser.addPositionalArgument(QStringLiteral("PATH"), StringTable::Text(text::kProbePathsHelp),
                               QStringLiteral("PATH..."));
  parser.addOption({QStringLiteral("json"), StringTable::Text(text::kProbeJsonHelp)});
  if (const std::optional<int> done = ParseCommand(parser, arguments)) return *done;
  const QStringList paths = parser.positionalArguments().mid(1);
  if (paths.isEmpty()) {
    PrintError(StringTable::Text(text::kNothingToProbe));
    return 2;
  }
  const bool json = parser.isSet(QStringLiteral("json"));
  Console console(ExistingOutput::Skip, false, false, false);
  int failures = 0;
  for (const QString& given : paths) {
    const QString path = QFileInfo(given).absoluteFilePath();
    JobConsole ui(console, 0, path);
    const AudioFileDescription description = DescribeAudioFile(engine, path, ui);
    if (!description.ok) ++failures;
    if (json) {
      const QJsonObject object{{QStringLiteral("path"), path},
                               {QStringLiteral("ok"), description.ok},
                               {QStringLiteral("description"), description.text},
                               {QStringLiteral("length_ms"), static_cast<double>(description.length_ms)},
                               {QStringLiteral("size"), static_cast<double>(description.size)}};
      console.Print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    } else if (description.ok) {
      console.Print(StringTable::Format(text::kProbeLine, {path, description.text, LengthText(description.length_ms),
                                                           static_cast<qlonglong>(description.size)}));
    }
  }
  return failures > 0 ? 1 : 0;
}

}  // namespace corvane::cli
