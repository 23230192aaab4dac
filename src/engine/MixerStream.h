#pragma once
#include <memory>
#include <vector>

#include "common/FfmpegHandles.h"
#include "engine/AudioStream.h"

namespace corvane {

// Another stream's samples at another rate and channel count. libswresample does the work with
// its high-quality resampler; channels are mixed down with its standard matrix, and a mono source
// fills both channels of a stereo output at its own level. Sources that can hand out 32-bit
// samples are resampled at that precision and reduced to 16 bits last, with triangular dither
// wherever bits are dropped. The mixer reads from its source but does not own it: the caller
// keeps the source alive for as long as the mixer is used. The mixer ends when its source ends.
class MixerStream final : public AudioStream {
 public:
  // Fails with IllegalParam for a rate or channel count out of range, Format when the resampler
  // cannot be made.
  static EngineResult<std::unique_ptr<MixerStream>> Create(AudioStream& source, int rate, int channels);
  ~MixerStream() override;

  ChannelInfo Info() const override { return info_; }
  qint64 LengthBytes() const override;
  qint64 PositionBytes() const override { return position_bytes_; }
  // Moves the source to the matching place and starts resampling afresh there.
  bool Seek(qint64 bytePosition) override;
  bool IsActive() const override { return !ended_; }

 protected:
  int ReadPcm(char* buffer, int bytes) override;

 private:
  MixerStream(AudioStream& source, ChannelInfo info);
  bool MakeResampler();
  bool Refill();
  // Number of channels the resampler writes: one for a mono source copied to every channel.
  int ResampledChannels() const { return copy_mono_ ? 1 : info_.channels; }
  void CopyMonoToAllChannels(int frames);

  AudioStream& source_;
  ChannelInfo info_;
  ffmpeg::ResamplerPtr resampler_;
  std::vector<char> input_;
  bool wide_ = false;       // the source hands out 32-bit samples
  bool copy_mono_ = false;  // the source is mono and its samples go to every output channel
  std::vector<char> resampled_;
  std::vector<char> pending_;
  size_t pending_offset_ = 0;
  qint64 position_bytes_ = 0;
  bool source_ended_ = false;
  bool ended_ = false;
};

}  // namespace corvane
