#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace corvane {

// A disc's table of contents as a CDDB query needs it.
struct CddbToc {
  // Start of every track in the table (data tracks too), in frames including the 150-frame lead-in.
  std::vector<int> track_frames;
  // The lead-out's position in whole seconds, lead-in included (floor(lead-out frame / 75)).
  int leadout_seconds = 0;
  quint32 disc_id = 0;
};

// One line of a query answer: the (category, disc ID) pair a read asks for.
struct CddbMatch {
  QString category;
  QString disc_id;
};

// The metadata of a disc entry, every value decoded, unescaped and free of control characters.
struct CddbEntry {
  QString category;
  QString disc_id;
  QString artist;
  QString album;
  QString year;
  QString genre;
  // Titles by position on the disc, from TTITLE0 on; an entry's missing positions are empty.
  QStringList titles;
};

}  // namespace corvane
