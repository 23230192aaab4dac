#pragma once
#include <QString>

#include "components/IFreedbClient.h"
#include "components/freedb/CddbLookup.h"
#include "components/freedb/MusicBrainzLookup.h"

namespace corvane {

// What a look-up needs from the freedb client component's settings: the server with its path,
// port, deadline and proxy, and the identity sent with each request.
CddbServerSettings CddbSettingsOf(const IFreedbClient& client);
MusicBrainzSettings MusicBrainzSettingsOf(const IFreedbClient& client);

// The name the look-up's texts give the service: the server's host for freedb, "MusicBrainz"
// (with its host when it is not the public service) for MusicBrainz.
QString LookupServiceName(const IFreedbClient& client, LookupSource source);

}  // namespace corvane
