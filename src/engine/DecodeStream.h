#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "common/FfmpegHandles.h"
#include "engine/AudioStream.h"
#include "engine/StreamTags.h"

namespace corvane {

// A whole audio file decoded by FFmpeg into 16-bit interleaved samples at the file's own rate
// and channel count. Owns every FFmpeg object it uses; usable from any thread (one stream per
// thread at a time).
class DecodeStream final : public AudioStream {
 public:
  enum class Mode {
    Decode,    // read by the program only
    Playback,  // may also be handed to the output device
  };

  // Opens `path`. The failure is FileOpen when the file cannot be read, FileFormat when no
  // demuxer knows it or it holds no audio, Codec when no decoder exists for its audio, Protected
  // when it is an ASF file protected by digital rights management.
  static EngineResult<std::unique_ptr<DecodeStream>> Open(const QString& path, Mode mode = Mode::Decode);
  ~DecodeStream() override;

  ChannelInfo Info() const override { return info_; }
  qint64 LengthBytes() const override { return length_bytes_; }
  // Exact for lossless sources whose container counts their samples, Musepack files and sources
  // measured by decoding them; an exact stream never delivers more than its length.
  bool LengthIsExact() const override { return exact_length_; }
  qint64 PositionBytes() const override { return position_bytes_; }
  bool Seek(qint64 bytePosition) override;
  bool IsActive() const override { return !ended_; }
  bool SelectWideSamples() override;

  // File offset of the first audio packet (after leading tags and headers); -1 when unknown.
  qint64 AudioDataStart() const { return audio_start_; }
  bool Playable() const { return mode_ == Mode::Playback; }
  const QString& Path() const { return path_; }
  const StreamTags& Tags() const { return tags_; }

 protected:
  int ReadPcm(char* buffer, int bytes) override;

 private:
  DecodeStream(QString path, Mode mode);
  EngineError OpenFile();
  EngineError OpenDecoder();
  void ReadFirstPacket();
  void ReadTags();
  qint64 MeasureLengthByDecoding();
  bool DecodeMore();
  bool ConvertFrame();
  bool FeedPacket();
  bool Reopen();
  void ResetDecoding();
  qint64 FrameStartSample() const;
  // Bytes of one frame as this stream hands it out (16 or 32-bit samples).
  int DeliveredFrameBytes() const { return info_.channels * (wide_ ? 4 : 2); }

  QString path_;
  Mode mode_;
  ffmpeg::FormatPtr format_;
  ffmpeg::CodecPtr codec_;
  ffmpeg::ResamplerPtr resampler_;
  ffmpeg::PacketPtr packet_;
  ffmpeg::FramePtr frame_;
  int stream_index_ = -1;
  bool held_packet_ = false;  // packet_ holds the first packet, not yet sent to the decoder
  bool demux_ended_ = false;
  bool ended_ = false;
  int resampler_channels_ = 0;
  int resampler_rate_ = 0;
  int resampler_format_ = -1;
  bool wide_ = false;  // samples are handed out as 32-bit integers

  std::vector<char> pending_;  // converted samples not yet delivered
  size_t pending_offset_ = 0;
  qint64 skip_to_sample_ = -1;  // after a seek: samples before this one are dropped
  qint64 drop_samples_ = 0;     // samples still to drop from the decoded output

  ChannelInfo info_;
  qint64 length_bytes_ = 0;
  bool exact_length_ = false;
  qint64 position_bytes_ = 0;
  qint64 audio_start_ = -1;
  StreamTags tags_;
};

}  // namespace corvane
