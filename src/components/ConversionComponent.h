#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "components/IConversionComponent.h"
#include "components/IFileEncoder.h"
#include "components/OggVorbisFileEncoder.h"
#include "components/SndFileEncoder.h"

namespace corvane {

// The conversion component: MP3 through LAME, Ogg Vorbis through libvorbisenc and libogg, WAV
// and VOX through libsndfile, WMA through the engine's WMA encoder.
class ConversionComponent final : public IConversionComponent {
 public:
  ConversionComponent();
  ~ConversionComponent() override;

  void Prepare(int mode) override;
  void SetOutputType(ComponentFormat format) override;
  ComponentFormat GetOutputType() const override { return output_type_; }
  bool IsMp3FormatSupported(int sampleRate, int bitrate, int channels) override;
  bool IsOggFormatSupported(int sampleRate, int channels, int nominal, int minimum, int maximum) override;
  void SetMp3Encoder(const Mp3EncoderSettings& settings) override;
  ConverterResult SetOggFormat(int sampleRate, int channels, int nominal, int minimum, int maximum,
                               int quality) override;
  ConverterResult SetWavPcm(int sampleRate, int channels, int bits) override;
  ConverterResult SetWavAdpcm(int sampleRate, int channels) override;
  ConverterResult SetWavALaw(int sampleRate, int channels) override;
  ConverterResult SetWavULaw(int sampleRate, int channels) override;
  ConverterResult SetVox(int sampleRate) override;
  ConverterResult SetWmaFormat(int sampleRate, int channels, int bitrate) override;
  ConverterResult SetInputFormat(int sampleRate, int channels) override;
  ConverterResult OpenOutput(const QString& path, ComponentFormat format) override;
  int GetLastError() const override { return static_cast<int>(last_error_); }
  ConverterResult WriteSamples(std::span<const std::int16_t> samples) override;
  ConverterResult Reset() override;

 private:
  struct SndFileSetup {
    SndFileKind kind;
    int sample_rate;
    int channels;
  };
  struct WmaSetup {
    int sample_rate;
    int channels;
    int bitrate;
  };
  struct OggSetup {
    int sample_rate;
    int channels;
    OggBitrates bitrates;
  };

  // Runs `step`, which raises ConverterError to fail, and turns its failure into the result,
  // recording the code for GetLastError.
  template <typename Step>
  ConverterResult Guarded(Step step);
  [[noreturn]] static void Fail(ConverterErrorCode code, const char* what);
  void SetWav(SndFileKind kind, int sampleRate, int channels);
  // Completes and closes the open output, if any.
  void Finish();
  void Write(std::span<const std::int16_t> samples);
  // Creates the encoder for `format`; sets the output's rate and channel count.
  std::unique_ptr<IFileEncoder> MakeEncoder(const QString& path, ComponentFormat format);
  void Feed(std::span<const std::int16_t> frames);

  ComponentFormat output_type_ = ComponentFormat::None;
  std::optional<Mp3EncoderSettings> mp3_;
  std::optional<OggSetup> ogg_;
  std::optional<SndFileSetup> wav_;
  std::optional<int> vox_rate_;
  std::optional<WmaSetup> wma_;
  int input_rate_ = 0;
  int input_channels_ = 0;
  int output_channels_ = 0;
  std::unique_ptr<IFileEncoder> encoder_;
  std::vector<std::int16_t> pending_;  // samples of a frame split between two WriteSamples calls
  std::vector<std::int16_t> adapted_;
  ConverterErrorCode last_error_ = ConverterErrorCode::Ok;
};

}  // namespace corvane
