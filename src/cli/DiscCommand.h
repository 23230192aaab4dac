#pragma once
#include <QStringList>

namespace corvane::cli {

// `corvane-cli disc [--device PATH] [--json]`: without a device, the machine's drives; with a
// drive or a disc image, its disc: state, media type, CDDB disc ID, sessions and tracks, CD-TEXT.
// Exit status 1 when the device holds no readable disc, 2 for bad usage.
int RunDiscCommand(const QStringList& arguments);

}  // namespace corvane::cli
