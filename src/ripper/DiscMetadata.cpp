#include "ripper/DiscMetadata.h"

#include "components/IAudioCDGrabber.h"
#include "ripper/DiscReading.h"
#include "tags/Id3Genres.h"

namespace corvane {

int LookupGenreEntry(const QString& name) {
  const int index = Id3Genres::IndexOf(name.trimmed());
  if (index >= 1 && index < Id3Genres::kCount) return index + 1;
  return Id3Genres::IndexOf(QStringLiteral("Other")) + 1;
}

DiscMetadata ReadLookupMetadata(IAudioCDGrabber& grabber, int rows) {
  DiscMetadata found;
  found.album = grabber.GetDiscTitle();
  found.artist = grabber.GetDiscArtist();
  found.genre_entry = LookupGenreEntry(grabber.GetDiscGenre());
  // A look-up without a year gives 0, which is no year to show or to tag.
  const int year = grabber.GetDiscYear();
  if (year > 0) found.year = QString::number(year);
  for (int row = 0; row < rows; ++row) {
    found.titles << (AddressRow(grabber, row) ? grabber.GetTrackTitle() : QString());
  }
  return found;
}

}  // namespace corvane
