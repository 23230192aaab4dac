#pragma once
#include <QString>
#include <QStringList>

namespace corvane {

enum class LaunchMode { None = 0, SingleFile = 1, ListFile = 2, ListFileThenDelete = 3 };

// What the command line asks of the converter: "-a ACTION -s SOURCE", anything before "-a "
// (such as "-o FOLDER") being ignored.
struct LaunchRequest {
  LaunchMode mode = LaunchMode::None;
  QString source;

  // Parses the text after the program name. Markers and actions are case-sensitive; the action
  // and the source are trimmed; quote characters stay part of the source.
  static LaunchRequest Parse(const QString& commandLine);
  // The command line as one text: the arguments after the program name joined by blanks.
  static QString JoinArguments(const QStringList& argumentsAfterProgram);
};

}  // namespace corvane
