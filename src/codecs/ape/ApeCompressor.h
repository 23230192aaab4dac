#pragma once
// Streams PCM into a Monkey's Audio file: collects one frame of blocks at a time, codes it
// and hands it to the file writer. Memory stays at about one frame whatever the length, or
// with several threads at about two frames a thread.
//
// Use: Start, AddData any number of times (any byte count; a block may be split between
// calls), Finish. Destroying a compressor that was started but not finished removes the
// unfinished file. A trailing partial block at Finish (fewer bytes than one sample per
// channel) cannot be represented and is dropped.

#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/ape/ApeFileWriter.h"
#include "codecs/ape/ApeTypes.h"
#include "codecs/ape/FrameEncoder.h"
#include "codecs/ape/FramePipeline.h"

namespace corvane::ape {

class ApeCompressor {
 public:
  ApeCompressor() = default;
  ApeCompressor(const ApeCompressor&) = delete;
  ApeCompressor& operator=(const ApeCompressor&) = delete;
  ~ApeCompressor() = default;

  // utf8Path: output file, replaced if it exists. maxAudioBytes: the PCM byte count when
  // known (sizes the seek table up front), else kOpenEndedLength. level: 1000..5000.
  ApeResult Start(const char* utf8Path, const WaveFormat& format, std::int64_t maxAudioBytes, int level);
  ApeResult AddData(const std::uint8_t* data, std::int64_t bytes);
  ApeResult Finish();

  // Blocks per frame the files of a level get.
  static std::uint32_t DefaultBlocksPerFrame(int level);
  // Overrides the frame size of the next Start (a positive block count). Every decoder
  // reads it from the header; tests use it to get many frames out of little audio.
  void SetBlocksPerFrame(std::uint32_t blocks) { blocks_per_frame_override_ = blocks; }
  // Threads that code frames from the next Start on: 1 (the default, and anything below)
  // codes on the caller's thread; more code that many frames at once while the caller
  // collects the next one and writes the finished ones. The file is the same either way.
  void SetThreads(int threads) { threads_ = threads; }

 private:
  enum class State { kIdle, kStarted, kFinished, kFailed };

  ApeResult EncodeFrame(std::uint32_t blocks);
  ApeResult WriteFrame(const ByteBuffer& coded, std::uint32_t blocks);
  ApeResult WriteOldest();
  ApeResult Fail(ApeResult result);

  State state_ = State::kIdle;
  WaveFormat format_;
  int level_ = 0;
  std::uint32_t blocks_per_frame_ = 0;
  std::uint32_t blocks_per_frame_override_ = 0;
  std::uint32_t last_frame_blocks_ = 0;
  std::size_t frame_bytes_ = 0;
  int threads_ = 1;
  ByteBuffer pending_;  // PCM of the frame being filled
  ByteBuffer coded_;
  std::unique_ptr<FrameEncoder> encoder_;    // one thread
  std::unique_ptr<FramePipeline> pipeline_;  // several
  ApeFileWriter writer_;
};

}  // namespace corvane::ape
