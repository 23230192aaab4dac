#pragma once
#include <QString>

#include <QStringList>

#include "formats/OutputFormatCatalogue.h"
#include "tags/Picture.h"
#include "tags/SourceTags.h"

namespace corvane {

// Writes `tags` into the finished output `path` of `format` where its back-end does not write them
// itself: an ID3v1 tag (after an ID3v2 one when `id3v2`) for MP3, the tag component's tags for WAV
// and Ogg Vorbis. The other back-ends write the EncodeJob's tags as they finish their file.
void WriteTagsAfterEncoding(const QString& path, FormatCode format, const SourceTags& tags, bool id3v2);

// Adds the pictures that pass the picture check to the finished output `path` of `format`, after
// its other tags; WAV and VOX hold none. `notes` gets a line for each picture left out and for a
// file the pictures could not be written into. A picture never fails the output.
void WritePicturesAfterEncoding(const QString& path, FormatCode format, Pictures pictures, QStringList& notes);

// The pictures of `source` for its outputs: those embedded in it, else a cover picture beside it.
Pictures SourcePictures(const QString& source);

}  // namespace corvane
