#pragma once
#include <memory>
#include <vector>

#include "engine/AudioStream.h"
#include "engine/FfmpegHandles.h"

namespace corvane {

// Another stream's samples at another rate and channel count (libswresample does the work;
// channels are mixed down or up with its standard matrix). The mixer reads from its source but
// does not own it: the caller keeps the source alive for as long as the mixer is used. The mixer
// ends when its source ends.
class MixerStream final : public AudioStream {
 public:
  // nullptr with `error` set (IllegalParam for a rate or channel count out of range, Format when
  // the resampler cannot be made).
  static std::unique_ptr<MixerStream> Create(AudioStream& source, int rate, int channels, EngineError& error);
  ~MixerStream() override;

  ChannelInfo Info() const override { return info_; }
  qint64 LengthBytes() const override;
  qint64 PositionBytes() const override { return position_bytes_; }
  // Moves the source to the matching place and starts resampling afresh there.
  bool Seek(qint64 bytePosition) override;
  bool IsActive() const override { return !ended_; }

  AudioStream& Source() const { return source_; }

 protected:
  int ReadPcm(char* buffer, int bytes) override;

 private:
  MixerStream(AudioStream& source, ChannelInfo info);
  bool MakeResampler();
  bool Refill();

  AudioStream& source_;
  ChannelInfo info_;
  ffmpeg::ResamplerPtr resampler_;
  std::vector<char> input_;
  std::vector<char> pending_;
  size_t pending_offset_ = 0;
  qint64 position_bytes_ = 0;
  bool source_ended_ = false;
  bool ended_ = false;
};

}  // namespace corvane
