#pragma once
#include <QString>

#include "formats/OutputFormatCatalogue.h"
#include "tags/SourceTags.h"

namespace corvane {

// Writes `tags` into the finished output `path` of `format` where its back-end does not write them
// itself: an ID3v1 tag (after an ID3v2 one when `id3v2`) for MP3, the tag component's tags for WAV
// and Ogg Vorbis. The other back-ends write the EncodeJob's tags as they finish their file.
void WriteTagsAfterEncoding(const QString& path, FormatCode format, const SourceTags& tags, bool id3v2);

}  // namespace corvane
