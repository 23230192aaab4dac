#pragma once
#include <QString>

#include "tags/SourceTags.h"

namespace corvane {

// Tags written into a finished FLAC file (Vorbis comments) or Musepack file (APEv2 items) by
// TagLib, after the encoder is done: a tag of any length then never reaches an encoder's argument
// list. Each text is cut, at a character boundary, to what the format holds. The names are those
// the encoders use themselves (TITLE ... DATE, TRACKNUMBER; "year" and "track" for Musepack).
// False when the file could not be tagged.
bool WriteFlacTags(const QString& path, const SourceTags& tags);
bool WriteMusepackTags(const QString& path, const SourceTags& tags);

}  // namespace corvane
