#include "formats/SourceTags.h"

#include "engine/DecodeStream.h"

namespace corvane {

bool ReadSourceTags(const DecodeStream* stream, SourceTags& tags) {
  tags.Clear();
  if (stream == nullptr) return false;
  const StreamTags& found = stream->Tags();
  tags.title = found.title;
  tags.artist = found.artist;
  tags.album = found.album;
  tags.year = found.year;
  tags.comment = found.comment;
  tags.track = found.track;
  tags.genre = found.genre;
  return true;
}

}  // namespace corvane
