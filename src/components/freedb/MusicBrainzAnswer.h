#pragma once
#include <QByteArray>
#include <QString>

#include "components/freedb/CddbEntry.h"
#include "components/freedb/CddbLookup.h"

namespace corvane {

// What the web service's JSON answer to a disc-ID look-up says about our disc.
struct MusicBrainzAnswer {
  CddbLookupState state = CddbLookupState::Failed;  // Found, NoMatch or Failed
  CddbEntry entry;                                  // filled when Found
};

// Maps an answer to the disc `discId`. The first release with a medium that holds the disc gives
// the album, its artist credit (names with their join phrases), the year of its date, the genre
// counted highest on its release group (else on the release) and the medium's titles by track
// position. An answer with no such release is NoMatch; one that is not JSON or lacks the list
// of releases is Failed. Every value is free of control characters.
MusicBrainzAnswer ParseMusicBrainzAnswer(const QByteArray& json, const QString& discId);

}  // namespace corvane
