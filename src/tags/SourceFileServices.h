#pragma once
#include <QString>
#include <memory>

#include "components/ITagComponent.h"
#include "engine/DecodeStream.h"
#include "tags/SourceTags.h"

namespace corvane {

// Reading and writing the tags of source and output files. These sit above the engine because
// they need the genre list and the tag component.
class SourceFileServices {
 public:
  // The tags of a source file. WAV files are read with the tag component (a genre such as "(17)"
  // becomes that ID3v1 genre's name); other files with the engine. False when the component
  // cannot be made or the file cannot be opened (the texts are then left alone for the engine
  // path, emptied for WAV).
  static bool ReadFileTags(const QString& path, SourceTags& tags,
                           const TagComponentFactory& factory = CreateTagComponent);

  // Writes `tags` into a WAV or Ogg Vorbis output with the tag component. False when the
  // component cannot be made or could not save the file.
  static bool WriteFileTags(const QString& path, const SourceTags& tags,
                            const TagComponentFactory& factory = CreateTagComponent);

  // Genre index handed to the tag component for a genre outside the ID3v1 list.
  static constexpr int kNoGenreIndex = 199;
};

}  // namespace corvane
