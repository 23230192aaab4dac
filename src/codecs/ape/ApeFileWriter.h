#pragma once
// Writes the file around the coded frames: a placeholder descriptor, header and seek table
// at the start, the frames as they come (swapped into little-endian 32-bit words), and at
// the end the final header, seek table and checksum. Only the seek table grows with the
// length; the audio data goes straight to disk.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "codecs/ape/ApeTypes.h"
#include "codecs/ape/ByteBuffer.h"
#include "codecs/ape/Md5.h"

namespace corvane::ape {

// The header values that are only known at the end.
struct StreamSummary {
  int level = 2000;
  std::uint32_t blocks_per_frame = 0;
  std::uint32_t final_frame_blocks = 0;
  std::uint16_t bits_per_sample = 16;
  std::uint16_t channels = 2;
  std::uint32_t sample_rate = 44100;
};

class ApeFileWriter {
 public:
  ApeFileWriter() = default;
  ApeFileWriter(const ApeFileWriter&) = delete;
  ApeFileWriter& operator=(const ApeFileWriter&) = delete;
  ~ApeFileWriter();

  // Creates the file (replacing an existing one) with room for `expectedFrames` seek entries.
  ApeResult Open(const std::filesystem::path& path, std::uint32_t expectedFrames);
  // Appends one coded frame (bytes in decoding order).
  ApeResult AppendFrame(const std::uint8_t* frame, std::size_t size);
  // Completes and closes the file. On failure the file is removed.
  ApeResult Finish(const StreamSummary& summary);
  // Closes and removes an unfinished file.
  void Abandon();

  std::uint32_t FrameCount() const { return static_cast<std::uint32_t>(frame_offsets_.size()); }

 private:
  ApeResult WriteWords(const std::uint8_t* words, std::size_t size);
  ApeResult MoveAudioData(std::uint64_t from, std::uint64_t to);
  ApeResult WriteLeadIn(const StreamSummary& summary);

  std::filesystem::path path_;
  std::fstream file_;
  std::uint32_t reserved_frames_ = 0;
  std::vector<std::uint64_t> frame_offsets_;  // offsets of the frames inside the audio data
  std::uint64_t stream_length_ = 0;           // bytes of audio data so far, unswapped tail included
  ByteBuffer tail_;                           // the last, incomplete 32-bit word
  Md5 md5_;
};

}  // namespace corvane::ape
