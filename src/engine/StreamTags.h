#pragma once
#include <QString>
#include <QStringList>

namespace corvane {

// The seven tag texts carried from a source (file or disc) into an output.
struct SourceTags {
  QString title;
  QString artist;
  QString album;
  QString year;
  QString comment;
  QString track;
  QString genre;

  void Clear() { *this = SourceTags(); }
  bool AllEmpty() const {
    return title.isEmpty() && artist.isEmpty() && album.isEmpty() && year.isEmpty() && comment.isEmpty() &&
           track.isEmpty() && genre.isEmpty();
  }
  bool operator==(const SourceTags&) const = default;
};

// The tags FFmpeg reports for an opened stream (container and stream metadata together).
struct StreamTags : SourceTags {
  // Windows Media files only: the ASF attribute block as "NAME=value" texts, among them
  // "ISVBR" and "BITRATE" (bits per second). Empty for every other kind of file.
  QStringList wma_block;
};

}  // namespace corvane
