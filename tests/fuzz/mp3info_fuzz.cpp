// Feeds arbitrary bytes to the MPEG header reader as an .mp3 file: it must never read outside the
// file, allocate by a size the file claims, or loop without end, and what it reports must stay
// inside the file.
#include <cstdlib>

#include "FuzzFile.h"
#include "probe/CMP3Info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = corvane::fuzz::WriteInput(data, size, "mp3");
  corvane::CMP3Info info;
  const qint64 offset = size > 2 ? (data[0] << 8 | data[1]) : 0;
  if (!info.Open(path, offset, true)) std::abort();  // the name is right and the file exists
  const qint64 fileSize = static_cast<qint64>(size);
  if (info.FileSize() != fileSize) std::abort();
  if (info.HasFrame()) {
    if (info.FirstAudioPosition() < 0 || info.FirstAudioPosition() + 4 > fileSize) std::abort();
    if (!corvane::MpegHeader::IsFrameHeader(info.FirstHeader())) std::abort();
  }
  if (info.DurationMs() < 0 || info.FrameCount() < 0) std::abort();
  for (const qint64 ms : {qint64{0}, info.DurationMs() / 3, info.DurationMs(), info.DurationMs() * 2}) {
    const qint64 at = info.PositionForTime(ms);
    if (at < 0 || at > fileSize) std::abort();
  }
  return 0;
}
