#pragma once
#include <cdio/cdio.h>

#include <QStringList>

namespace corvane {

// The disc's CD-TEXT as "KEYn=value" lines (n = 0 for the disc, the track number for a track):
// TITLE, PERFORMER, SONGWRITER, COMPOSER, ARRANGER, MESSAGE and GENRE, in that order for the
// disc and then each track, in the first language block. Empty when the disc has none.
QStringList ReadCdText(CdIo_t* cdio, int firstTrack, int lastTrack);

}  // namespace corvane
