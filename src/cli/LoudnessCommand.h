#pragma once
#include <QStringList>

namespace corvane::cli {

// corvane-cli loudness [--tag] [--json] FILE...: each file's loudness, the album's (all the files
// together), and with --tag their ReplayGain tags. Exit status 0, 1 when a file could not be
// measured or tagged, 2 for bad usage. Needs the bound audio engine.
int RunLoudnessCommand(const QStringList& arguments);

}  // namespace corvane::cli
