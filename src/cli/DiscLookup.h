#pragma once
#include <QJsonObject>
#include <QString>
#include <utility>
#include <vector>

#include "components/IFreedbClient.h"

namespace corvane {
class IAudioCDGrabber;
class SettingsStore;
}  // namespace corvane

namespace corvane::cli {

// What a look-up of the disc found, or the message telling why it found nothing.
struct DiscLookupOutcome {
  QString music_brainz_id;  // empty when the table has none
  QString service;          // the name the messages give the service
  bool found = false;
  QString failure;  // the message for the user when nothing was found
  QString artist;
  QString album;
  int year = 0;
  QString genre;
  std::vector<std::pair<int, QString>> titles;  // track number in the table, title
};

// Looks up the disc the grabber read last, with the "FreeDB Setting" values of `settings` and
// `source` in place of the stored one, and waits for the answer on a local event loop.
DiscLookupOutcome LookUpDisc(IAudioCDGrabber& grabber, SettingsStore& settings, LookupSource source);

// The outcome as lines after the disc's listing, and as the fields added to its JSON object.
void PrintLookup(const DiscLookupOutcome& outcome);
void AddLookupJson(const DiscLookupOutcome& outcome, QJsonObject& disc);

}  // namespace corvane::cli
