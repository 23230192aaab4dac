#pragma once
// The operations the compression back-end calls, shaped like a plain library interface:
// handles and result codes, never exceptions.
//
//   if (GetInterfaceCompatibility(kInterfaceVersion) != ApeResult::kOk) ...
//   ApeResult error;
//   ApeCompressor* c = CompressCreate(&error);
//   CompressSetThreads(c, 2);                                  // optional
//   CompressStart(c, path, &format, kOpenEndedLength, 2000);
//   CompressAddData(c, bytes, count);  ...
//   CompressFinish(c);
//   CompressDestroy(c);
//   TagFileSimple(path, artist, album, title, comment, genre, year, track, true);

#include <cstdint>

#include "codecs/ape/ApeTypes.h"

namespace corvane::ape {

class ApeCompressor;

// kOk when this library serves callers written against `version` (3990).
ApeResult GetInterfaceCompatibility(int version);

// A new compressor, or nullptr with *error set (error may be null).
ApeCompressor* CompressCreate(ApeResult* error);
// Releases the compressor; a started but unfinished output file is removed. Null is fine.
void CompressDestroy(ApeCompressor* compressor);

// Threads that code frames from the next start on (see ApeCompressor::SetThreads).
ApeResult CompressSetThreads(ApeCompressor* compressor, int threads);

// See ApeCompressor for the meaning of the arguments.
ApeResult CompressStart(ApeCompressor* compressor, const char* utf8Path, const WaveFormat* format,
                        std::int64_t maxAudioBytes, int level);
ApeResult CompressAddData(ApeCompressor* compressor, const unsigned char* data, std::int64_t bytes);
// Completes the file. Without a single whole block the result is kEmptyStream and no file
// is left behind.
ApeResult CompressFinish(ApeCompressor* compressor);

// Writes an APEv2 tag to a finished file (all texts UTF-8; null or empty texts are left
// out). clearFirst removes every existing tag, APEv2 and ID3v1, before writing; an ID3v1
// tag is never written.
ApeResult TagFileSimple(const char* utf8Path, const char* artist, const char* album, const char* title,
                        const char* comment, const char* genre, const char* year, const char* track, bool clearFirst);

}  // namespace corvane::ape
