#pragma once
#include <QFile>
#include <QString>
#include <memory>

#include "components/IFileEncoder.h"

namespace corvane {

// Bitrates of a managed Ogg Vorbis encode, kbps.
struct OggBitrates {
  int nominal = 0;
  int minimum = 0;
  int maximum = 0;
};

// An Ogg Vorbis output written by libvorbisenc with bitrate management, paged by libogg.
class OggVorbisFileEncoder final : public IFileEncoder {
 public:
  // Whether libvorbisenc sets up managed bitrate for this combination.
  static bool Accepts(int sampleRate, int channels, const OggBitrates& bitrates);

  OggVorbisFileEncoder(const QString& path, int sampleRate, int channels, const OggBitrates& bitrates);
  ~OggVorbisFileEncoder() override;
  OggVorbisFileEncoder(const OggVorbisFileEncoder&) = delete;
  OggVorbisFileEncoder& operator=(const OggVorbisFileEncoder&) = delete;

  void Write(std::span<const std::int16_t> samples) override;
  void Finish() override;

 private:
  struct State;
  void WriteHeaders();
  void Drain(bool flushPages);
  void WritePage(const unsigned char* header, long headerSize, const unsigned char* body, long bodySize);

  std::unique_ptr<State> state_;
  QFile file_;
  int channels_;
};

}  // namespace corvane
