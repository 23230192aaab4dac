#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "engine/EngineError.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

namespace corvane {

// Writes WMA (FFmpeg's wmav2 encoder, constant bitrate) into an ASF file from interleaved 16-bit
// PCM. Tags may be set until the first samples arrive. Destroying an encoder that was not
// closed abandons the file as it is; the caller removes it.
class WmaEncoder {
 public:
  // Opens the encoder and creates the file. Fails with Format when the encoder does not take
  // that rate, channel count and bitrate, Create when the file cannot be created.
  static EngineResult<std::unique_ptr<WmaEncoder>> Open(int sampleRate, int channels, int bitrateBitsPerSecond,
                                                        const QString& path);
  // Whether the encoder takes that combination, without creating anything.
  static bool Accepts(int sampleRate, int channels, int bitrateBitsPerSecond);
  ~WmaEncoder();
  WmaEncoder(const WmaEncoder&) = delete;
  WmaEncoder& operator=(const WmaEncoder&) = delete;

  // An ASF attribute such as "Title", "Author" or "WM/AlbumTitle"; empty values are kept, and a
  // text longer than ASF holds (32,766 UTF-16 units) is cut at a character boundary.
  bool SetTag(const QString& name, const QString& value);
  // Interleaved 16-bit samples; any byte count that holds whole sample frames.
  bool Write(const void* pcm, int bytes);
  // Encodes what is buffered, writes the index and closes the file.
  bool Close();
  EngineError LastError() const { return error_; }

 private:
  WmaEncoder() = default;
  bool StartFile();
  bool EncodeFrame(bool flush);
  bool Drain();

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  int channels_ = 0;
  int frame_size_ = 0;
  int buffered_ = 0;  // samples per channel waiting in frame_
  long long next_pts_ = 0;
  bool header_written_ = false;
  bool closed_ = false;
  EngineError error_ = EngineError::Ok;
};

}  // namespace corvane
