#pragma once
#include "components/IFreedbClient.h"
#include "ripper/DiscMetadata.h"

namespace corvane {
class IAudioCDGrabber;
class SettingsStore;
}  // namespace corvane

namespace corvane::cli {

class Console;

// Looks the grabber's current disc up with `source` and the stored look-up settings, waiting for
// the answer. What it finds replaces the fields of `metadata` it has a value for; when it finds
// nothing or fails, `metadata` stays as it was and the console says so.
void LookUpDisc(IAudioCDGrabber& grabber, LookupSource source, SettingsStore& settings, int rows,
                DiscMetadata& metadata, Console& console);

}  // namespace corvane::cli
