#include "engine/AudioStream.h"

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

}  // namespace corvane
