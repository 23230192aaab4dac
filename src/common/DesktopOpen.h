#pragma once
#include <QString>

namespace corvane {

class IUserInterface;

// Opens a folder or a document with the desktop's default handler. When no program could be
// started for it (no opener installed, no desktop), the user is told so in a message box instead
// of being left with nothing happening. True when it was handed to a program.
bool OpenOnDesktop(IUserInterface& ui, const QString& path);

}  // namespace corvane
