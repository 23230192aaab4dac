#pragma once
#include <QStringList>

namespace corvane {
class SettingsStore;
}

namespace corvane::cli {

// corvane-cli rip: rips audio tracks of a drive or disc image into files named by the ripper's
// output-name pattern, one track at a time, with convert's output options, progress, JSON lines
// and exit statuses.
int RunRipCommand(const QStringList& arguments, SettingsStore& settings);

}  // namespace corvane::cli
