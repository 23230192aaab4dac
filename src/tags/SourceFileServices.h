#pragma once
#include <QString>
#include <memory>

#include "components/ITagComponent.h"
#include "engine/DecodeStream.h"
#include "tags/SourceTags.h"

namespace corvane {

class CAudioEngine;
class CMP3Info;

// Opening a source file for the conversion list and reading and writing the tags of source and
// output files. These sit above the engine because they need the MPEG header reader, the genre
// list and the tag component.
class SourceFileServices {
 public:
  // Frees `stream` and opens `path` for decoding. MPEG files must first pass the MP3 check (the
  // header reader finds a confirmed frame near where the engine sees the audio start); `mp3`
  // then holds what it read, and is reset for any other type. `size` receives the size of the
  // audio part of the file. Returns the playing time in milliseconds, never 0; a failure carries
  // the engine's reason (FileFormat for an MPEG file whose frames cannot be found or a file
  // without audio). A file of unknown type fails with the stream, `mp3` and `size` left alone.
  static EngineResult<qint64> OpenSourceStream(const CAudioEngine& engine, const QString& path,
                                               std::unique_ptr<DecodeStream>& stream, CMP3Info& mp3, qint64& size);

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

  // Bytes the MP3 check reads before the place the engine reports as the start of the audio.
  static constexpr qint64 kMp3CheckLead = 10240;
  // Genre index handed to the tag component for a genre outside the ID3v1 list.
  static constexpr int kNoGenreIndex = 199;
};

}  // namespace corvane
