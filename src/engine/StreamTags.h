#pragma once
#include <QString>
#include <QStringList>

namespace corvane {

// The tags FFmpeg reports for an opened stream (container and stream metadata together).
struct StreamTags {
  QString title;
  QString artist;
  QString album;
  QString year;
  QString comment;
  QString track;
  QString genre;
  // Windows Media files only: the ASF attribute block as "NAME=value" texts, among them
  // "ISVBR" and "BITRATE" (bits per second). Empty for every other kind of file.
  QStringList wmaBlock;
};

}  // namespace corvane
