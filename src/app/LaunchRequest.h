#pragma once
#include <QString>
#include <QStringList>

#include "converter/HandOffMode.h"

namespace corvane {

// The action of a launch request is the converter page's hand-off of its source.
using LaunchMode = HandOffMode;

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
