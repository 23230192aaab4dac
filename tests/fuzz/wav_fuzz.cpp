// Feeds arbitrary bytes to the WAVE header reader as a disc image's data file: it must never ask
// for bytes before the file or more than a header's worth at once, and the audio it reports must
// lie inside the file, after its RIFF header, in whole sample frames.
#include <cstdlib>

#include "discimage/WaveHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto fileSize = static_cast<qint64>(size);
  const auto read = [&bytes](qint64 offset, qint64 length) {
    if (offset < 0 || length < 0 || length > 64) std::abort();
    return bytes.mid(offset, length);
  };
  const std::optional<corvane::ImageFileFacts> facts = corvane::ReadWaveHeader(fileSize, read);
  if (!facts || facts->problem != corvane::ImageFileFacts::Problem::None) return 0;
  if (facts->audio_offset < 12 || facts->audio_bytes < 0 || facts->audio_offset + facts->audio_bytes > fileSize)
    std::abort();
  if (facts->audio_bytes % 4 != 0 || facts->samples * 4 != facts->audio_bytes) std::abort();
  return 0;
}
