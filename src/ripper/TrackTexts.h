#pragma once
#include <QString>
#include <QStringList>

#include "components/IAudioCDGrabber.h"

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

// The disc's titles as its CD-TEXT gives them.
struct CdTextTitles {
  QString artist;
  QString album;
  int genre_entry = 0;  // entry of the genre box: 0 empty, 1..148 the genre names in order
  QStringList titles;   // titles[n] is the title of row n; shorter when the disc has fewer
};

// Reads "KEYn=value" lines: TITLE0 the album, PERFORMER0 the artist, GENRE0 the genre by name,
// TITLEn the title of row n-1.
CdTextTitles ReadCdTextTitles(const QStringList& lines);

}  // namespace corvane
