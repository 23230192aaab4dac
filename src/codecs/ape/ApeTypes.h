#pragma once
// Shared vocabulary of the Monkey's Audio encoder: result codes, the PCM wave format the
// caller describes its data with, and the constants of the file version we write.

#include <cstdint>

namespace corvane::ape {

// Interface and file version. Callers check it with GetInterfaceCompatibility().
inline constexpr int kInterfaceVersion = 3990;

// Result of every operation of the library. Nothing throws across the interface.
enum class ApeResult : int {
  kOk = 0,
  kIncompatibleVersion = 1,  // GetInterfaceCompatibility: the caller expects another version
  kInvalidArgument = 2,      // null handle or path, negative byte count
  kUnsupportedFormat = 3,    // not 8/16-bit PCM, not 1 or 2 channels, inconsistent block size
  kInvalidLevel = 4,         // compression level not 1000, 2000, 3000, 4000 or 5000
  kNotStarted = 5,           // AddData/Finish before a successful Start
  kAlreadyStarted = 6,       // Start called twice on one compressor
  kFileOpenFailed = 7,       // the output file could not be created
  kWriteFailed = 8,          // writing the output failed (disk full, file gone ...)
  kEmptyStream = 9,          // Finish without a single whole block: no file is left behind
  kFileTooLarge = 10,        // the output would pass the format's 4 GiB limit
  kOutOfMemory = 11,
  kTagReadFailed = 12,   // TagFileSimple: the file is missing or not a Monkey's Audio file
  kTagWriteFailed = 13,  // TagFileSimple: the tag could not be saved
  kFailedEarlier = 14,   // the compressor hit an error before; it accepts nothing more
};

// Compression levels and the names users know them by.
enum class CompressionLevel : int {
  kFast = 1000,
  kNormal = 2000,
  kHigh = 3000,
  kExtraHigh = 4000,
  kInsane = 5000,
};

// PCM layout of the data handed to AddData, as in a WAV "fmt " chunk. Samples are
// interleaved little-endian: 8-bit unsigned or 16-bit signed.
struct WaveFormat {
  std::uint16_t format_tag = 1;  // 1 = PCM, the only one accepted
  std::uint16_t channels = 2;
  std::uint32_t samples_per_sec = 44100;
  std::uint32_t avg_bytes_per_sec = 176400;
  std::uint16_t block_align = 4;
  std::uint16_t bits_per_sample = 16;
};

// Builds a consistent PCM wave format.
constexpr WaveFormat MakeWaveFormat(std::uint32_t sampleRate, std::uint16_t channels, std::uint16_t bits) {
  const auto align = static_cast<std::uint16_t>(channels * (bits / 8));
  return WaveFormat{1, channels, sampleRate, sampleRate * align, align, bits};
}

// Pass as the maximum audio byte count when the length is not known in advance.
inline constexpr std::int64_t kOpenEndedLength = -1;

}  // namespace corvane::ape
