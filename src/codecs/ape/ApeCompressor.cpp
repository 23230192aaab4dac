#include "codecs/ape/ApeCompressor.h"

#include <algorithm>
#include <filesystem>
#include <string>

namespace corvane::ape {
namespace {

constexpr std::uint32_t kBaseBlocksPerFrame = 73728;

bool IsValidLevel(int level) { return level >= 1000 && level <= 5000 && level % 1000 == 0; }

bool IsSupportedFormat(const WaveFormat& f) {
  if (f.format_tag != 1 || (f.channels != 1 && f.channels != 2)) return false;
  if (f.bits_per_sample != 8 && f.bits_per_sample != 16) return false;
  if (f.samples_per_sec == 0 || f.block_align != f.channels * f.bits_per_sample / 8) return false;
  return static_cast<std::uint64_t>(f.avg_bytes_per_sec) ==
         static_cast<std::uint64_t>(f.samples_per_sec) * f.block_align;
}

}  // namespace

std::uint32_t ApeCompressor::DefaultBlocksPerFrame(int level) {
  // Longer frames let the large filters of the top levels settle before the next reset.
  if (level >= 5000) return kBaseBlocksPerFrame * 16;
  if (level >= 4000) return kBaseBlocksPerFrame * 4;
  return kBaseBlocksPerFrame;
}

ApeResult ApeCompressor::Start(const char* utf8Path, const WaveFormat& format, std::int64_t maxAudioBytes, int level) {
  if (state_ != State::kIdle) return ApeResult::kAlreadyStarted;
  if (utf8Path == nullptr || *utf8Path == '\0') return ApeResult::kInvalidArgument;
  if (!IsSupportedFormat(format)) return ApeResult::kUnsupportedFormat;
  if (!IsValidLevel(level)) return ApeResult::kInvalidLevel;

  format_ = format;
  level_ = level;
  blocks_per_frame_ = blocks_per_frame_override_ != 0 ? blocks_per_frame_override_ : DefaultBlocksPerFrame(level);
  frame_bytes_ = static_cast<std::size_t>(blocks_per_frame_) * format.block_align;
  std::uint64_t expectedFrames = 1;
  if (maxAudioBytes > 0) {
    const std::uint64_t blocks = static_cast<std::uint64_t>(maxAudioBytes) / format.block_align;
    expectedFrames = std::min<std::uint64_t>((blocks + blocks_per_frame_ - 1) / blocks_per_frame_, 1u << 24);
  }

  const std::string pathText(utf8Path);
  const std::filesystem::path path(std::u8string(pathText.begin(), pathText.end()));
  const ApeResult opened = writer_.Open(path, static_cast<std::uint32_t>(expectedFrames));
  if (opened != ApeResult::kOk) return opened;
  if (threads_ > 1) {
    pipeline_ = std::make_unique<FramePipeline>(threads_, level, format.channels, format.bits_per_sample);
  } else {
    encoder_ = std::make_unique<FrameEncoder>(level, format.channels, format.bits_per_sample);
  }
  pending_.reserve(frame_bytes_);
  state_ = State::kStarted;
  return ApeResult::kOk;
}

ApeResult ApeCompressor::Fail(ApeResult result) {
  pipeline_.reset();
  writer_.Abandon();
  state_ = State::kFailed;
  pending_ = {};
  coded_ = {};
  return result;
}

ApeResult ApeCompressor::WriteFrame(const ByteBuffer& coded, std::uint32_t blocks) {
  last_frame_blocks_ = blocks;
  const ApeResult written = writer_.AppendFrame(coded.data(), coded.size());
  return written == ApeResult::kOk ? written : Fail(written);
}

ApeResult ApeCompressor::WriteOldest() {
  const FramePipeline::Frame& frame = pipeline_->WaitOldest();
  if (frame.result != ApeResult::kOk) return Fail(frame.result);
  const ApeResult written = WriteFrame(frame.coded, frame.blocks);
  if (written == ApeResult::kOk) pipeline_->PopOldest();
  return written;
}

// Codes the `blocks` blocks at the front of pending_ (all of it: a whole frame, or the last).
ApeResult ApeCompressor::EncodeFrame(std::uint32_t blocks) {
  if (pipeline_) {
    if (pipeline_->Full()) {
      const ApeResult written = WriteOldest();
      if (written != ApeResult::kOk) return written;
    }
    pipeline_->Submit(pending_, blocks);
    pending_.reserve(frame_bytes_);
    return ApeResult::kOk;
  }
  coded_.clear();
  encoder_->Encode(pending_.data(), blocks, coded_);
  pending_.clear();
  return WriteFrame(coded_, blocks);
}

ApeResult ApeCompressor::AddData(const std::uint8_t* data, std::int64_t bytes) {
  if (state_ == State::kFailed) return ApeResult::kFailedEarlier;
  if (state_ != State::kStarted) return ApeResult::kNotStarted;
  if (bytes < 0 || (data == nullptr && bytes != 0)) return ApeResult::kInvalidArgument;
  auto left = static_cast<std::uint64_t>(bytes);
  while (left != 0) {
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(left, frame_bytes_ - pending_.size()));
    pending_.insert(pending_.end(), data, data + take);
    data += take;
    left -= take;
    if (pending_.size() == frame_bytes_) {
      const ApeResult result = EncodeFrame(blocks_per_frame_);
      if (result != ApeResult::kOk) return result;
    }
  }
  return ApeResult::kOk;
}

ApeResult ApeCompressor::Finish() {
  if (state_ == State::kFailed) return ApeResult::kFailedEarlier;
  if (state_ != State::kStarted) return ApeResult::kNotStarted;
  const auto blocks = static_cast<std::uint32_t>(pending_.size() / format_.block_align);
  if (blocks != 0) {
    pending_.resize(static_cast<std::size_t>(blocks) * format_.block_align);  // a partial block is dropped
    const ApeResult result = EncodeFrame(blocks);
    if (result != ApeResult::kOk) return result;
  }
  while (pipeline_ && !pipeline_->Empty()) {
    const ApeResult result = WriteOldest();
    if (result != ApeResult::kOk) return result;
  }
  pipeline_.reset();
  if (writer_.FrameCount() == 0) return Fail(ApeResult::kEmptyStream);

  StreamSummary summary;
  summary.level = level_;
  summary.blocks_per_frame = blocks_per_frame_;
  summary.final_frame_blocks = last_frame_blocks_;
  summary.bits_per_sample = format_.bits_per_sample;
  summary.channels = format_.channels;
  summary.sample_rate = format_.samples_per_sec;
  const ApeResult result = writer_.Finish(summary);
  if (result != ApeResult::kOk) return Fail(result);
  state_ = State::kFinished;
  pending_ = {};
  coded_ = {};
  return ApeResult::kOk;
}

}  // namespace corvane::ape
