#include "engine/MixerStream.h"

#include <algorithm>
#include <cstring>

namespace corvane {
namespace {

constexpr int kMaxRate = 384000;
constexpr int kMaxChannels = 8;
constexpr int kInputFrames = 4096;  // source frames converted per step

}  // namespace

MixerStream::MixerStream(AudioStream& source, ChannelInfo info) : source_(source), info_(info) {
  copy_mono_ = source.Info().channels == 1 && info.channels > 1;
  wide_ = source.SelectWideSamples();
}

MixerStream::~MixerStream() = default;

EngineResult<std::unique_ptr<MixerStream>> MixerStream::Create(AudioStream& source, int rate, int channels) {
  using Created = EngineResult<std::unique_ptr<MixerStream>>;
  const ChannelInfo from = source.Info();
  if (rate <= 0 || rate > kMaxRate || channels <= 0 || channels > kMaxChannels || from.rate <= 0 ||
      from.channels <= 0) {
    return Created::Failure(EngineError::IllegalParam);
  }
  ChannelInfo info = from;
  info.rate = rate;
  info.channels = channels;
  std::unique_ptr<MixerStream> mixer(new MixerStream(source, info));
  if (!mixer->MakeResampler()) return Created::Failure(EngineError::Format);
  return Created::Success(std::move(mixer));
}

bool MixerStream::MakeResampler() {
  const ChannelInfo from = source_.Info();
  ffmpeg::MixOptions options;
  options.in_format = wide_ ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16;
  // Bits are dropped when the rate changes, when channels are mixed down, or when the source
  // holds more than 16 bits; a plain copy of 16-bit samples stays exact.
  const bool deepSource = from.resolution == SampleResolution::Float || from.original_bits > 16;
  options.dither = from.rate != info_.rate || ResampledChannels() < from.channels || (wide_ && deepSource);
  resampler_ = ffmpeg::MakeMixResampler(from.channels, from.rate, ResampledChannels(), info_.rate, options);
  return resampler_ != nullptr;
}

void MixerStream::CopyMonoToAllChannels(int frames) {
  const auto* mono = reinterpret_cast<const qint16*>(resampled_.data());
  auto* out = reinterpret_cast<qint16*>(pending_.data());
  for (int frame = 0; frame < frames; ++frame) {
    for (int channel = 0; channel < info_.channels; ++channel) *out++ = mono[frame];
  }
}

qint64 MixerStream::LengthBytes() const {
  const ChannelInfo from = source_.Info();
  const qint64 sourceFrames = source_.LengthBytes() / from.FrameBytes();
  return av_rescale(sourceFrames, info_.rate, from.rate) * info_.FrameBytes();
}

bool MixerStream::Refill() {
  const ChannelInfo from = source_.Info();
  const int inFrameBytes = from.channels * (wide_ ? 4 : 2);
  input_.resize(static_cast<size_t>(kInputFrames) * inFrameBytes);
  int inFrames = 0;
  if (!source_ended_) {
    const int bytes = wide_ ? 0 : source_.Read(input_.data(), static_cast<int>(input_.size()));
    const int read = wide_ ? source_.ReadWide(reinterpret_cast<qint32*>(input_.data()), kInputFrames)
                           : (bytes < 0 ? -1 : bytes / from.FrameBytes());
    if (read < 0) {
      SetLastError(source_.LastError());
      return false;
    }
    if (read == 0) source_ended_ = true;
    inFrames = read;
  }
  const int capacity = swr_get_out_samples(resampler_.get(), inFrames);
  if (capacity <= 0) {
    if (source_ended_) ended_ = true;
    return !ended_;
  }
  std::vector<char>& target = copy_mono_ ? resampled_ : pending_;
  target.resize(static_cast<size_t>(capacity) * ResampledChannels() * 2);
  pending_offset_ = 0;
  uint8_t* out = reinterpret_cast<uint8_t*>(target.data());
  const uint8_t* in = reinterpret_cast<const uint8_t*>(input_.data());
  // At the source's end a null input flushes what the resampler still holds.
  const int produced = swr_convert(resampler_.get(), &out, capacity, inFrames > 0 ? &in : nullptr, inFrames);
  if (produced < 0) {
    SetLastError(EngineError::Decode);
    return false;
  }
  pending_.resize(static_cast<size_t>(produced) * info_.FrameBytes());
  if (copy_mono_) CopyMonoToAllChannels(produced);
  if (produced == 0 && source_ended_) ended_ = true;
  return !ended_;
}

int MixerStream::ReadPcm(char* buffer, int bytes) {
  const int written = ReadThroughPending(pending_, pending_offset_, ended_, buffer, bytes, [this] { return Refill(); });
  if (written < 0) return -1;
  position_bytes_ += written;
  return written;
}

bool MixerStream::Seek(qint64 bytePosition) {
  if (bytePosition < 0) return false;
  const ChannelInfo from = source_.Info();
  const qint64 target = bytePosition / info_.FrameBytes();
  const qint64 sourceFrame = av_rescale(target, from.rate, info_.rate);
  if (!source_.Seek(sourceFrame * from.FrameBytes())) return false;
  if (!MakeResampler()) return false;
  pending_.clear();
  pending_offset_ = 0;
  source_ended_ = false;
  ended_ = false;
  SetLastError(EngineError::Ok);
  position_bytes_ = target * info_.FrameBytes();
  return true;
}

}  // namespace corvane
