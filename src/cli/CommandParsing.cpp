#include "cli/CommandParsing.h"

#include <cstdio>

namespace corvane::cli {

std::optional<int> ParseCommand(QCommandLineParser& parser, const QStringList& arguments) {
  parser.addHelpOption();
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "corvane-cli: %s\n", qPrintable(parser.errorText()));
    return kExitUsage;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return kExitOk;
  }
  return std::nullopt;
}

}  // namespace corvane::cli
