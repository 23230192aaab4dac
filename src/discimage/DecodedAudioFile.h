#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "common/FfmpegHandles.h"

namespace corvane {

// An audio file of any kind FFmpeg decodes (FLAC, Monkey's Audio, WavPack, ...) read as 16-bit
// interleaved samples at its own rate and channel count, by sample position. Reading on from where
// the last read ended keeps decoding; any other position seeks to a safe point before it and
// drops the samples up to the one asked for, so every read is sample-exact.
class DecodedAudioFile {
 public:
  // Null when FFmpeg cannot open the file or finds no audio it can decode in it.
  static std::unique_ptr<DecodedAudioFile> Open(const QString& path);
  ~DecodedAudioFile();
  DecodedAudioFile(const DecodedAudioFile&) = delete;
  DecodedAudioFile& operator=(const DecodedAudioFile&) = delete;

  int Rate() const { return rate_; }
  int Channels() const { return channels_; }
  // Bits of the samples as stored by a lossless codec; 0 for lossy audio.
  int StoredBits() const { return stored_bits_; }
  // Sample frames in the file: the container's count for lossless audio, else counted by
  // decoding the whole file once.
  qint64 Frames() const { return frames_; }

  // Decodes `count` frames from frame `first` on into `out` (Channels() * 2 bytes a frame); the
  // frames it delivered, fewer where the decoded audio ends, -1 when decoding fails.
  qint64 Read(qint64 first, qint64 count, char* out);

 private:
  explicit DecodedAudioFile(QString path);
  bool OpenDecoder();
  qint64 CountFrames();
  // Moves the decoder to a safe point at or before `frame` (the start when the file cannot seek).
  bool SeekTo(qint64 frame);
  // Decodes the next frame of audio into pending_; false at the end or on a failure.
  bool DecodeMore();
  bool Convert();
  qint64 FrameStart() const;

  QString path_;
  ffmpeg::FormatPtr format_;
  ffmpeg::CodecPtr codec_;
  ffmpeg::ResamplerPtr resampler_;
  ffmpeg::PacketPtr packet_;
  ffmpeg::FramePtr frame_;
  int stream_ = -1;
  int rate_ = 0;
  int channels_ = 0;
  int stored_bits_ = 0;
  qint64 frames_ = -1;
  bool drained_ = false;  // the demuxer is exhausted and the decoder was told so
  bool failed_ = false;
  std::vector<char> pending_;  // decoded frames from pending_first_ on
  qint64 pending_first_ = 0;
  qint64 next_ = 0;  // the frame the decoder's next output starts with; -1 right after a seek
};

}  // namespace corvane
