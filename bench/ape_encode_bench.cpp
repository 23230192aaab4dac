// Command-line Monkey's Audio encoder for timing: ape_encode_bench INPUT.wav OUTPUT.ape LEVEL [THREADS]
// Streams the WAV data through the library in half-second blocks, as the application does,
// coding frames on THREADS threads (default 1).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "codecs/ape/ApeInterface.h"

namespace {

using corvane::ape::ApeResult;

std::uint32_t Le(const char* p, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(p[i]);
  return v;
}

// Reads the RIFF header up to the data chunk; leaves the stream at the first sample.
bool ReadWavHeader(std::ifstream& in, corvane::ape::WaveFormat& format, std::uint64_t& dataBytes) {
  char riff[12];
  if (!in.read(riff, 12) || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return false;
  bool haveFormat = false;
  char chunk[8];
  while (in.read(chunk, 8)) {
    const std::uint32_t size = Le(chunk + 4, 4);
    if (std::memcmp(chunk, "data", 4) == 0) {
      dataBytes = size;
      return haveFormat;
    }
    std::vector<char> body(size + (size & 1));
    if (!in.read(body.data(), static_cast<std::streamsize>(body.size()))) return false;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
      format = {static_cast<std::uint16_t>(Le(&body[0], 2)),
                static_cast<std::uint16_t>(Le(&body[2], 2)),
                Le(&body[4], 4),
                Le(&body[8], 4),
                static_cast<std::uint16_t>(Le(&body[12], 2)),
                static_cast<std::uint16_t>(Le(&body[14], 2))};
      haveFormat = true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: %s INPUT.wav OUTPUT.ape LEVEL [THREADS]\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  corvane::ape::WaveFormat format;
  std::uint64_t dataBytes = 0;
  if (!in || !ReadWavHeader(in, format, dataBytes)) {
    std::fprintf(stderr, "%s: not a PCM WAV file\n", argv[1]);
    return 1;
  }
  ApeResult result = ApeResult::kOk;
  corvane::ape::ApeCompressor* compressor = corvane::ape::CompressCreate(&result);
  if (compressor == nullptr) return 1;
  if (argc == 5) corvane::ape::CompressSetThreads(compressor, std::atoi(argv[4]));
  result =
      corvane::ape::CompressStart(compressor, argv[2], &format, corvane::ape::kOpenEndedLength, std::atoi(argv[3]));
  std::vector<char> block(static_cast<std::size_t>(format.samples_per_sec) * format.channels);
  while (result == ApeResult::kOk && dataBytes > 0 && in) {
    in.read(block.data(), static_cast<std::streamsize>(std::min<std::uint64_t>(block.size(), dataBytes)));
    const auto got = in.gcount();
    if (got <= 0) break;
    dataBytes -= static_cast<std::uint64_t>(got);
    result = corvane::ape::CompressAddData(compressor, reinterpret_cast<const unsigned char*>(block.data()), got);
  }
  if (result == ApeResult::kOk) result = corvane::ape::CompressFinish(compressor);
  corvane::ape::CompressDestroy(compressor);
  if (result != ApeResult::kOk) {
    std::fprintf(stderr, "encoding failed with code %d\n", static_cast<int>(result));
    return 1;
  }
  return 0;
}
