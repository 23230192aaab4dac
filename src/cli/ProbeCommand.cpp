#include "cli/ProbeCommand.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "cli/CommandParsing.h"
#include "cli/ConsoleUserInterface.h"
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
  parser.setApplicationDescription(QStringLiteral("Describes audio files as the converter's list does."));
  parser.addPositionalArgument(QStringLiteral("probe"), QStringLiteral("The command."));
  parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("Audio files."), QStringLiteral("PATH..."));
  parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object per file.")});
  if (const std::optional<int> done = ParseCommand(parser, arguments)) return *done;
  const QStringList paths = parser.positionalArguments().mid(1);
  if (paths.isEmpty()) {
    std::fputs("corvane-cli: give at least one file to probe\n", stderr);
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
                               {QStringLiteral("length_ms"), static_cast<double>(description.lengthMs)},
                               {QStringLiteral("size"), static_cast<double>(description.size)}};
      console.Print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    } else if (description.ok) {
      console.Print(QStringLiteral("%1\n  %2\n  length %3, size %4 bytes")
                        .arg(path, description.text, LengthText(description.lengthMs))
                        .arg(description.size));
    }
  }
  return failures > 0 ? 1 : 0;
}

}  // namespace corvane::cli
