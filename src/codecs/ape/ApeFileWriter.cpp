#include "codecs/ape/ApeFileWriter.h"

#include <algorithm>
#include <array>
#include <limits>
#include <system_error>

namespace corvane::ape {
namespace {

constexpr std::uint32_t kDescriptorBytes = 52;
constexpr std::uint32_t kHeaderBytes = 24;
constexpr std::uint16_t kFlagCreateWavHeader = 32;  // no WAV header stored; decoders make one
constexpr std::size_t kMoveChunk = 1 << 20;

std::uint64_t FirstFrameOffset(std::uint32_t frames) { return kDescriptorBytes + kHeaderBytes + 4ull * frames; }

template <std::size_t N>
void Put16(std::array<std::uint8_t, N>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

template <std::size_t N>
void Put32(std::array<std::uint8_t, N>& out, std::size_t at, std::uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

std::array<std::uint8_t, kHeaderBytes> SerializeHeader(const StreamSummary& s, std::uint32_t frames) {
  std::array<std::uint8_t, kHeaderBytes> out{};
  Put16(out, 0, static_cast<std::uint32_t>(s.level));
  Put16(out, 2, kFlagCreateWavHeader);
  Put32(out, 4, s.blocks_per_frame);
  Put32(out, 8, s.final_frame_blocks);
  Put32(out, 12, frames);
  Put16(out, 16, s.bits_per_sample);
  Put16(out, 18, s.channels);
  Put32(out, 20, s.sample_rate);
  return out;
}

std::array<std::uint8_t, kDescriptorBytes> SerializeDescriptor(std::uint32_t frames, std::uint64_t dataBytes,
                                                               const Md5::Digest& md5) {
  std::array<std::uint8_t, kDescriptorBytes> out{};
  out[0] = 'M';
  out[1] = 'A';
  out[2] = 'C';
  out[3] = ' ';
  Put16(out, 4, static_cast<std::uint32_t>(kInterfaceVersion));
  Put32(out, 8, kDescriptorBytes);
  Put32(out, 12, kHeaderBytes);
  Put32(out, 16, 4 * frames);
  Put32(out, 20, 0);  // no stored WAV header
  Put32(out, 24, static_cast<std::uint32_t>(dataBytes));
  Put32(out, 28, static_cast<std::uint32_t>(dataBytes >> 32));
  Put32(out, 32, 0);  // no WAV data after the audio
  std::copy(md5.begin(), md5.end(), out.begin() + 36);
  return out;
}

}  // namespace

ApeFileWriter::~ApeFileWriter() { Abandon(); }

ApeResult ApeFileWriter::Open(const std::filesystem::path& path, std::uint32_t expectedFrames) {
  path_ = path;
  reserved_frames_ = std::max<std::uint32_t>(expectedFrames, 1);
  file_.open(path, std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
  if (!file_.is_open()) return ApeResult::kFileOpenFailed;
  const std::vector<char> placeholder(FirstFrameOffset(reserved_frames_), 0);
  file_.write(placeholder.data(), static_cast<std::streamsize>(placeholder.size()));
  if (!file_) {
    Abandon();
    return ApeResult::kWriteFailed;
  }
  return ApeResult::kOk;
}

ApeResult ApeFileWriter::AppendFrame(const std::uint8_t* frame, std::size_t size) {
  // Seek entries are 32-bit file offsets: the frame must start below 4 GiB even after the
  // seek table has grown by this frame's entry.
  const std::uint64_t start = FirstFrameOffset(FrameCount() + 1) + stream_length_;
  if (start > std::numeric_limits<std::uint32_t>::max()) return ApeResult::kFileTooLarge;
  frame_offsets_.push_back(stream_length_);
  stream_length_ += size;

  tail_.insert(tail_.end(), frame, frame + size);
  const std::size_t whole = tail_.size() - tail_.size() % 4;
  const ApeResult result = WriteWords(tail_.data(), whole);
  tail_.erase(tail_.begin(), tail_.begin() + static_cast<std::ptrdiff_t>(whole));
  return result;
}

ApeResult ApeFileWriter::WriteWords(const std::uint8_t* words, std::size_t size) {
  ByteBuffer swapped(size);
  for (std::size_t i = 0; i < size; i += 4) {
    swapped[i] = words[i + 3];
    swapped[i + 1] = words[i + 2];
    swapped[i + 2] = words[i + 1];
    swapped[i + 3] = words[i];
  }
  md5_.Update(swapped.data(), swapped.size());
  file_.write(reinterpret_cast<const char*>(swapped.data()), static_cast<std::streamsize>(swapped.size()));
  return file_ ? ApeResult::kOk : ApeResult::kWriteFailed;
}

ApeResult ApeFileWriter::MoveAudioData(std::uint64_t from, std::uint64_t to) {
  const std::uint64_t size = stream_length_;
  std::vector<char> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(kMoveChunk, size)));
  for (std::uint64_t done = 0; done < size;) {
    const std::uint64_t n = std::min<std::uint64_t>(chunk.size(), size - done);
    // Moving up, copy from the end so that no byte is overwritten before it was read.
    const std::uint64_t offset = to > from ? size - done - n : done;
    file_.seekg(static_cast<std::streamoff>(from + offset));
    file_.read(chunk.data(), static_cast<std::streamsize>(n));
    file_.seekp(static_cast<std::streamoff>(to + offset));
    file_.write(chunk.data(), static_cast<std::streamsize>(n));
    if (!file_) return ApeResult::kWriteFailed;
    done += n;
  }
  return ApeResult::kOk;
}

ApeResult ApeFileWriter::WriteLeadIn(const StreamSummary& summary) {
  const auto frames = FrameCount();
  const std::uint64_t firstFrame = FirstFrameOffset(frames);
  std::vector<std::uint8_t> seekTable;
  seekTable.reserve(4ull * frames);
  for (const std::uint64_t offset : frame_offsets_) {
    const std::uint64_t entry = firstFrame + offset;
    if (entry > std::numeric_limits<std::uint32_t>::max()) return ApeResult::kFileTooLarge;
    for (int shift = 0; shift < 32; shift += 8) seekTable.push_back(static_cast<std::uint8_t>(entry >> shift));
  }
  const auto header = SerializeHeader(summary, frames);
  md5_.Update(header.data(), header.size());
  md5_.Update(seekTable.data(), seekTable.size());
  const auto descriptor = SerializeDescriptor(frames, stream_length_, md5_.Final());

  file_.seekp(0);
  file_.write(reinterpret_cast<const char*>(descriptor.data()), descriptor.size());
  file_.write(reinterpret_cast<const char*>(header.data()), header.size());
  file_.write(reinterpret_cast<const char*>(seekTable.data()), static_cast<std::streamsize>(seekTable.size()));
  file_.flush();
  return file_ ? ApeResult::kOk : ApeResult::kWriteFailed;
}

ApeResult ApeFileWriter::Finish(const StreamSummary& summary) {
  if (!file_.is_open()) return ApeResult::kNotStarted;
  // The data area ends on a whole word.
  const std::size_t padding = (4 - tail_.size() % 4) % 4;
  tail_.insert(tail_.end(), padding, 0);
  stream_length_ += padding;
  ApeResult result = WriteWords(tail_.data(), tail_.size());
  tail_.clear();

  const std::uint64_t reservedStart = FirstFrameOffset(reserved_frames_);
  const std::uint64_t finalStart = FirstFrameOffset(FrameCount());
  if (result == ApeResult::kOk && reservedStart != finalStart) result = MoveAudioData(reservedStart, finalStart);
  if (result == ApeResult::kOk) result = WriteLeadIn(summary);
  if (result != ApeResult::kOk) {
    Abandon();
    return result;
  }
  file_.close();
  bool written = !file_.fail();
  std::error_code error;
  if (written && finalStart < reservedStart) {
    // The audio data moved down: cut off what is left of it behind the new end.
    std::filesystem::resize_file(path_, finalStart + stream_length_, error);
    written = !error;
  }
  if (!written) {
    std::filesystem::remove(path_, error);
    return ApeResult::kWriteFailed;
  }
  return ApeResult::kOk;
}

void ApeFileWriter::Abandon() {
  if (!file_.is_open()) return;
  file_.close();
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

}  // namespace corvane::ape
