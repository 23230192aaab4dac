#pragma once
#include <QString>

namespace corvane {

class SettingsStore;

// Where the external encoders are looked for first: the stored "Install Path" when it is an
// absolute folder, else the folder of the running program. Never the working folder, where
// anyone may have put a program of the same name.
QString ProgramFolder(const SettingsStore& settings);

}  // namespace corvane
