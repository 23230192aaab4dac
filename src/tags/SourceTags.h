#pragma once
#include <QString>

#include "engine/StreamTags.h"

namespace corvane {

class AudioStream;
class DecodeStream;

// Empties `tags` and fills them from what the engine reports for an open stream. False (tags
// emptied) when there is no stream.
bool ReadSourceTags(const DecodeStream* stream, SourceTags& tags);

// The tags of an MP3 output and whether an ID3v1 tag is wanted.
struct Mp3TagSet {
  bool id3v1 = true;
  SourceTags tags;
};

}  // namespace corvane
