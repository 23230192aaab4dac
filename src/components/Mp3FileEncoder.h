#pragma once
#include <QFile>
#include <QString>
#include <vector>

#include "components/IFileEncoder.h"
#include "components/Mp3EncoderSettings.h"

struct lame_global_struct;

namespace corvane {

// An MP3 output written by LAME. The settings object's properties map onto LAME's settings;
// a property left at -1 keeps LAME's own default.
class Mp3FileEncoder final : public IFileEncoder {
 public:
  // Output channel count the file will have for these settings and this input.
  static int OutputChannels(const Mp3EncoderSettings& settings, int inputChannels);
  // Whether LAME keeps exactly this output rate and constant bitrate (no silent adjustment).
  static bool Accepts(int sampleRate, int bitrate, int channels);

  // Opens `path` for `settings`; samples arrive at `inputRate` (resampled by LAME when it differs
  // from the settings' rate) with OutputChannels() channels.
  Mp3FileEncoder(const QString& path, const Mp3EncoderSettings& settings, int inputRate, int inputChannels);
  ~Mp3FileEncoder() override;
  Mp3FileEncoder(const Mp3FileEncoder&) = delete;
  Mp3FileEncoder& operator=(const Mp3FileEncoder&) = delete;

  void Write(std::span<const std::int16_t> samples) override;
  void Finish() override;

 private:
  void Configure(const Mp3EncoderSettings& settings, int inputRate);
  void WriteBytes(const unsigned char* data, int size);

  lame_global_struct* lame_ = nullptr;
  QFile file_;
  int channels_ = 2;
  bool vbr_header_ = false;
  std::vector<unsigned char> buffer_;
};

}  // namespace corvane
