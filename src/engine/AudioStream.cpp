#include "engine/AudioStream.h"

#include <algorithm>
#include <cstring>

namespace corvane {

int AudioStream::Read(void* buffer, int bytes) {
  const int frameBytes = Info().FrameBytes();
  if (buffer == nullptr || bytes <= 0 || frameBytes <= 0) return 0;
  bytes -= bytes % frameBytes;
  if (bytes == 0) return 0;
  const int read = ReadPcm(static_cast<char*>(buffer), bytes);
  if (read > 0 && processor_) processor_(static_cast<qint16*>(buffer), read / 2);
  return read;
}

int AudioStream::ReadWide(qint32* buffer, int frames) {
  const int frameBytes = Info().channels * static_cast<int>(sizeof(qint32));
  if (buffer == nullptr || frames <= 0 || frameBytes <= 0) return 0;
  const int read = ReadPcm(reinterpret_cast<char*>(buffer), frames * frameBytes);
  return read < 0 ? -1 : read / frameBytes;
}

int AudioStream::TakePending(const std::vector<char>& pending, size_t& offset, char* out, int room) {
  if (offset >= pending.size() || room <= 0) return 0;
  const size_t take = std::min(pending.size() - offset, static_cast<size_t>(room));
  std::memcpy(out, pending.data() + offset, take);
  offset += take;
  return static_cast<int>(take);
}

int AudioStream::ReadThroughPending(std::vector<char>& pending, size_t& offset, const bool& ended, char* buffer,
                                    int bytes, const std::function<bool()>& refill) {
  int written = 0;
  while (written < bytes) {
    if (const int taken = TakePending(pending, offset, buffer + written, bytes - written)) {
      written += taken;
      continue;
    }
    pending.clear();
    offset = 0;
    if (ended) break;
    if (!refill()) {
      if (LastError() != EngineError::Ok && written == 0) return -1;
      break;
    }
  }
  return written;
}

}  // namespace corvane
