#pragma once
#include <QCommandLineParser>
#include <QStringList>
#include <optional>

namespace corvane::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;
// A run stopped by a signal exits with 128 + the signal's number, as shells report it.
inline constexpr int kExitSignalBase = 128;

// Parses a subcommand's arguments (with --help added). Returns the exit status when the command
// is already done: a usage error was printed (2) or the help was (0); nullopt to go on.
std::optional<int> ParseCommand(QCommandLineParser& parser, const QStringList& arguments);

// Prints "corvane-cli: TEXT" and a new line on standard error, for failures before a console exists.
void PrintError(const QString& text);

}  // namespace corvane::cli
