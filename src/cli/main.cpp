// corvane-cli: the converter without a window.
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "cli/CommandParsing.h"
#include "cli/ConvertCommand.h"
#include "cli/DiscCommand.h"
#include "cli/LoudnessCommand.h"
#include "cli/PresetsCommand.h"
#include "cli/ProbeCommand.h"
#include "cli/RipCommand.h"
#include "cli/VerifyCommand.h"
#include "common/SessionSettings.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "engine/CAudioEngine.h"

namespace {

void PrintUsage(FILE* stream) { std::fputs(qPrintable(corvane::StringTable::Text(corvane::text::kCliUsage)), stream); }

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QString::fromLatin1(corvane::SettingsStore::kOrganisation));
  QCoreApplication::setApplicationName(QString::fromLatin1(corvane::SettingsStore::kApplication));
  const QStringList arguments = QCoreApplication::arguments();
  const QString command = arguments.value(1);
  if (command.isEmpty() || command == QLatin1String("--help") || command == QLatin1String("-h") ||
      command == QLatin1String("help")) {
    PrintUsage(command.isEmpty() ? stderr : stdout);
    return command.isEmpty() ? 2 : 0;
  }
  if (command == QLatin1String("--version")) {
    std::puts(
        qPrintable(corvane::StringTable::Format(corvane::text::kCliVersionLine, {QStringLiteral(CORVANE_VERSION)})));
    return 0;
  }
  // The subcommands parse their own options; the program name stands first as usual.
  QStringList rest = arguments;
  // Only the presets commands store anything: the options of a run are for that run, and the
  // window's settings stay as they were.
  if (command == QLatin1String("presets")) {
    corvane::FileSettings settings;
    return corvane::cli::RunPresetsCommand(rest, settings);
  }
  corvane::SessionSettings settings;
  // The disc command reads drives and images, and the look-up settings; it needs no audio engine.
  if (command == QLatin1String("disc")) return corvane::cli::RunDiscCommand(rest, settings);
  // Verify reads its files with libsndfile, and the disc's table.
  if (command == QLatin1String("verify")) return corvane::cli::RunVerifyCommand(rest, settings);
  // A file size limit then fails the write that passes it, with a reason, instead of ending
  // the program.
  std::signal(SIGXFSZ, SIG_IGN);

  corvane::CAudioEngine engine;
  if (engine.BindAll().Failed()) {
    corvane::cli::PrintError(corvane::StringTable::Text(corvane::text::kCliLibrariesMissing));
    return 2;
  }
  if (command == QLatin1String("convert")) return corvane::cli::RunConvertCommand(rest, engine, settings);
  if (command == QLatin1String("rip")) return corvane::cli::RunRipCommand(rest, settings);
  if (command == QLatin1String("probe")) return corvane::cli::RunProbeCommand(rest, engine);
  if (command == QLatin1String("loudness")) return corvane::cli::RunLoudnessCommand(rest);
  corvane::cli::PrintError(corvane::StringTable::Format(corvane::text::kCliUnknownCommand, {command}) +
                           QLatin1Char('\n'));
  PrintUsage(stderr);
  return 2;
}
