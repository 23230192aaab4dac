// corvane-cli: the converter without a window.
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "cli/ConvertCommand.h"
#include "cli/PresetsCommand.h"
#include "cli/ProbeCommand.h"
#include "common/SessionSettings.h"
#include "engine/CAudioEngine.h"

namespace {

constexpr const char* kUsage =
    "Usage: corvane-cli COMMAND [options]\n"
    "\n"
    "Commands:\n"
    "  convert [options] PATH...   Convert files and folders (see: corvane-cli convert --help)\n"
    "  probe [--json] PATH...      Describe audio files\n"
    "  presets list                List the output quality presets\n"
    "  presets show NAME           Show one preset\n"
    "  presets save NAME [options] Save the options as a preset\n"
    "  presets remove NAME         Remove a preset\n"
    "  presets reset               Restore the five default presets\n"
    "\n"
    "  --help                      This text\n"
    "  --version                   The version\n"
    "\n"
    "Exit status: 0 all converted, 1 some failed, 2 bad usage or a refused run, 128+N stopped by\n"
    "signal N (130 Ctrl-C, 143 SIGTERM, 129 SIGHUP).\n";

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QString::fromLatin1(corvane::SettingsStore::kOrganisation));
  QCoreApplication::setApplicationName(QString::fromLatin1(corvane::SettingsStore::kApplication));
  const QStringList arguments = QCoreApplication::arguments();
  const QString command = arguments.value(1);
  if (command.isEmpty() || command == QLatin1String("--help") || command == QLatin1String("-h") ||
      command == QLatin1String("help")) {
    std::fputs(kUsage, command.isEmpty() ? stderr : stdout);
    return command.isEmpty() ? 2 : 0;
  }
  if (command == QLatin1String("--version")) {
    std::printf("corvane-cli %s\n", CORVANE_VERSION);
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
  // A file size limit then fails the write that passes it, with a reason, instead of ending
  // the program.
  std::signal(SIGXFSZ, SIG_IGN);

  corvane::CAudioEngine engine;
  if (engine.BindAll().Failed()) {
    std::fputs("corvane-cli: the audio libraries this program was built with are missing or of another version\n",
               stderr);
    return 2;
  }
  if (command == QLatin1String("convert")) return corvane::cli::RunConvertCommand(rest, engine, settings);
  if (command == QLatin1String("probe")) return corvane::cli::RunProbeCommand(rest, engine);
  std::fprintf(stderr, "corvane-cli: unknown command '%s'\n\n%s", qPrintable(command), kUsage);
  return 2;
}
