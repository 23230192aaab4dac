#pragma once
#include <QString>

namespace corvane {

class IUserInterface;

// Where the manual is looked for: share/corvane/manual/index.html beside the folder that holds
// the program. The build tree and an installed prefix have the same layout, so this holds for
// both.
QString HelpManualPath(const QString& programFolder);

// Opens the manual in the user's browser. A manual that is not there, or no program to open it
// with, is told in a message box. True when the manual was handed to a program.
bool OpenHelpManual(IUserInterface& ui, const QString& programFolder);

}  // namespace corvane
