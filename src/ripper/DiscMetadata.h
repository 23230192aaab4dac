#pragma once
#include <QString>
#include <QStringList>

namespace corvane {

class IAudioCDGrabber;

// The disc's fields on the ripper page and the titles of its rows.
struct DiscMetadata {
  QString artist;
  QString album;
  QString year;
  int genre_entry = 0;  // entry of the genre box: 0 empty, 1..148 the genre names in order
  QStringList titles;   // titles[n] is the title of row n; shorter when the source has fewer
};

// The genre box entry for a genre name a look-up gave: the name's entry, found without regard to
// case; "Blues" and names not in the list select "Other", since the box cannot show them.
int LookupGenreEntry(const QString& name);

// What the grabber's last look-up found for the disc, for its first `rows` rows. Leaves the
// grabber's current track at the last row read.
DiscMetadata ReadLookupMetadata(IAudioCDGrabber& grabber, int rows);

}  // namespace corvane
