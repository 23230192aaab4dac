#pragma once
#include <QString>

namespace corvane {

class AudioStream;
class DecodeStream;

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

// Empties `tags` and fills them from what the engine reports for an open stream. False (tags
// emptied) when there is no stream.
bool ReadSourceTags(const DecodeStream* stream, SourceTags& tags);

// The tags of an MP3 output and whether an ID3v1 tag is wanted.
struct Mp3TagSet {
  bool id3v1 = true;
  SourceTags tags;
};

}  // namespace corvane
