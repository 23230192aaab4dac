#pragma once
#include <QStringList>

namespace corvane {
class SettingsStore;
}

namespace corvane::cli {

// `corvane-cli verify --device PATH [--json] FILE...`: the AccurateRip checksums of files ripped
// before (WAV or FLAC, 44.1 kHz stereo 16-bit), one a track from the disc's first audio track on,
// looked up in the database. 0 when every file is accurate, 1 otherwise, 2 for bad usage, a file
// that is not CD audio or a device without a readable disc.
int RunVerifyCommand(const QStringList& arguments, SettingsStore& settings);

}  // namespace corvane::cli
