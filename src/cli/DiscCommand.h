#pragma once
#include <QStringList>

namespace corvane {
class SettingsStore;
}

namespace corvane::cli {

// `corvane-cli disc [--device PATH [--lookup freedb|musicbrainz]] [--json]`: without a device,
// the machine's drives; with a drive or a disc image, its disc: state, media type, CDDB disc ID,
// sessions and tracks, CD-TEXT; with --lookup also its MusicBrainz disc ID and what the service
// knows about it, looked up with the "FreeDB Setting" values of `settings`.
// Exit status 1 when the device holds no readable disc or the look-up found nothing, 2 for bad usage.
int RunDiscCommand(const QStringList& arguments, SettingsStore& settings);

}  // namespace corvane::cli
