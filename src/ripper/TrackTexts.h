#pragma once
#include <QString>
#include <QStringList>

#include "components/IAudioCDGrabber.h"
#include "ripper/DiscMetadata.h"

namespace corvane {

// The texts the ripper page shows for tracks and discs.
namespace track_text {

// The Length cell: "%2d:%02d".
QString Length(int minutes, int seconds);
// Milliseconds of a Length cell; 0 when it is not one.
qint64 LengthMs(const QString& cell);
// The position label: "[# %02d]  m:ss" for row `row` (0-based) at `ms`.
QString Position(int row, qint64 ms);

}  // namespace track_text

// Reads "KEYn=value" lines: TITLE0 the album, PERFORMER0 the artist, GENRE0 the genre by name,
// TITLEn the title of row n-1, DATE0 (a disc image's date) the year when it starts with one. The
// first line of a key counts; control characters in a value become spaces.
DiscMetadata ReadCdTextTitles(const QStringList& lines);

}  // namespace corvane
