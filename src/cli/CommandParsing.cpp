#include "cli/CommandParsing.h"

#include <cstdio>

#include "common/StringTable.h"
#include "common/strings/CliText.h"

namespace corvane::cli {

void PrintError(const QString& text) {
  std::fputs(qPrintable(StringTable::Text(text::kCliMessagePrefix) + text + QLatin1Char('\n')), stderr);
}

std::optional<int> ParseCommand(QCommandLineParser& parser, const QStringList& arguments) {
  parser.addHelpOption();
  if (!parser.parse(arguments)) {
    PrintError(parser.errorText());
    return kExitUsage;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return kExitOk;
  }
  return std::nullopt;
}

}  // namespace corvane::cli
