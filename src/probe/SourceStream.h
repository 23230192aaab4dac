#pragma once
#include <QString>
#include <memory>

#include "engine/DecodeStream.h"

namespace corvane {

class CAudioEngine;
class CMP3Info;

// Bytes the MP3 check reads before the place the engine reports as the start of the audio.
inline constexpr qint64 kMp3CheckLead = 10240;

// Opening a source file for the conversion list: frees `stream` and opens `path` for decoding.
// MPEG files must first pass the MP3 check (the header reader finds a confirmed frame near where
// the engine sees the audio start); `mp3` then holds what it read, and is reset for any other
// type. `size` receives the size of the audio part of the file. Returns the playing time in
// milliseconds, never 0; a failure carries the engine's reason (FileFormat for an MPEG file whose
// frames cannot be found or a file without audio). A file of unknown type fails with the stream,
// `mp3` and `size` left alone.
EngineResult<qint64> OpenSourceStream(const CAudioEngine& engine, const QString& path,
                                      std::unique_ptr<DecodeStream>& stream, CMP3Info& mp3, qint64& size);

}  // namespace corvane
