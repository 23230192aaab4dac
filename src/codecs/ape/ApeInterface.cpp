#include "codecs/ape/ApeInterface.h"

#include <new>

#include "codecs/ape/ApeCompressor.h"
#include "codecs/ape/ApeTagWriter.h"

namespace corvane::ape {
namespace {

// Runs an operation, turning an allocation failure into a result code.
template <typename Operation>
ApeResult Guarded(Operation operation) {
  try {
    return operation();
  } catch (const std::bad_alloc&) {
    return ApeResult::kOutOfMemory;
  }
}

}  // namespace

ApeResult GetInterfaceCompatibility(int version) {
  return version == kInterfaceVersion ? ApeResult::kOk : ApeResult::kIncompatibleVersion;
}

ApeCompressor* CompressCreate(ApeResult* error) {
  auto* compressor = new (std::nothrow) ApeCompressor;
  if (error != nullptr) *error = compressor != nullptr ? ApeResult::kOk : ApeResult::kOutOfMemory;
  return compressor;
}

void CompressDestroy(ApeCompressor* compressor) { delete compressor; }

ApeResult CompressSetThreads(ApeCompressor* compressor, int threads) {
  if (compressor == nullptr) return ApeResult::kInvalidArgument;
  compressor->SetThreads(threads);
  return ApeResult::kOk;
}

ApeResult CompressStart(ApeCompressor* compressor, const char* utf8Path, const WaveFormat* format,
                        std::int64_t maxAudioBytes, int level) {
  if (compressor == nullptr || format == nullptr) return ApeResult::kInvalidArgument;
  return Guarded([&] { return compressor->Start(utf8Path, *format, maxAudioBytes, level); });
}

ApeResult CompressAddData(ApeCompressor* compressor, const unsigned char* data, std::int64_t bytes) {
  if (compressor == nullptr) return ApeResult::kInvalidArgument;
  return Guarded([&] { return compressor->AddData(data, bytes); });
}

ApeResult CompressFinish(ApeCompressor* compressor) {
  if (compressor == nullptr) return ApeResult::kInvalidArgument;
  return Guarded([&] { return compressor->Finish(); });
}

ApeResult TagFileSimple(const char* utf8Path, const char* artist, const char* album, const char* title,
                        const char* comment, const char* genre, const char* year, const char* track, bool clearFirst) {
  if (utf8Path == nullptr || *utf8Path == '\0') return ApeResult::kInvalidArgument;
  const SimpleTag tag{artist, album, title, comment, genre, year, track};
  return Guarded([&] { return ApeTagWriter::Write(utf8Path, tag, clearFirst); });
}

}  // namespace corvane::ape
