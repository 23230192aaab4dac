#pragma once
#include <QString>
#include <cstdint>
#include <memory>
#include <span>

#include "components/ConverterError.h"
#include "components/Mp3EncoderSettings.h"

namespace corvane {

// Output kinds as the conversion component numbers them (an older numbering than the format
// codes of the catalogue; only used at this interface).
enum class ComponentFormat : int { None = 0, Wav = 1, Mp3 = 2, Vox = 3, Ogg = 6, Wma = 11 };

// The conversion component: writes MP3, Ogg Vorbis, WAV, VOX and WMA files from interleaved signed
// 16-bit samples handed to it block by block, and answers which combinations its encoders take.
//
// Use: configure the output once per run (SetOutputType + SetMp3Encoder, SetOggFormat, one of
// the SetWav* calls, SetVox or SetWmaFormat); then for every file SetInputFormat, OpenOutput, WriteSamples as
// often as needed, and Reset, which completes the file on disk. The configuration survives Reset.
// Every call that can fail returns a ConverterResult with its code and reason; GetLastError
// reports the code of the last failure (0 after a good OpenOutput).
class IConversionComponent {
 public:
  virtual ~IConversionComponent() = default;

  // Readies the component for a ripper run; nothing else depends on the mode.
  virtual void Prepare(int mode) = 0;
  // Chooses the output kind that OpenOutput expects next.
  virtual void SetOutputType(ComponentFormat format) = 0;
  // The output kind chosen last, by SetOutputType or by a format set-up.
  virtual ComponentFormat GetOutputType() const = 0;

  // Whether LAME encodes this output rate (Hz), constant bitrate (kbps) and channel count.
  virtual bool IsMp3FormatSupported(int sampleRate, int bitrate, int channels) = 0;
  // Whether libvorbisenc sets up managed bitrate for this rate, channel count and the nominal,
  // minimum and maximum bitrates (kbps).
  virtual bool IsOggFormatSupported(int sampleRate, int channels, int nominal, int minimum, int maximum) = 0;

  // The MP3 settings are copied: later changes to `settings` do not reach this component.
  virtual void SetMp3Encoder(const Mp3EncoderSettings& settings) = 0;
  // Managed bitrate in kbps; `quality` -1 means bitrate management only (the only mode).
  virtual ConverterResult SetOggFormat(int sampleRate, int channels, int nominal, int minimum, int maximum,
                                       int quality) = 0;
  virtual ConverterResult SetWavPcm(int sampleRate, int channels, int bits) = 0;
  virtual ConverterResult SetWavAdpcm(int sampleRate, int channels) = 0;
  virtual ConverterResult SetWavALaw(int sampleRate, int channels) = 0;
  virtual ConverterResult SetWavULaw(int sampleRate, int channels) = 0;
  // Dialogic ADPCM, headerless, always mono: stereo input is mixed down.
  virtual ConverterResult SetVox(int sampleRate) = 0;
  // WMA at a constant bitrate (kbps) through the engine's WMA encoder, in an ASF file.
  virtual ConverterResult SetWmaFormat(int sampleRate, int channels, int bitrate) = 0;

  // Rate and channel count of the samples that WriteSamples receives. Channels are adapted to
  // the output (mixed down or doubled); the rate must equal the output rate except for MP3,
  // which LAME resamples.
  virtual ConverterResult SetInputFormat(int sampleRate, int channels) = 0;
  // Creates the output file for the configured kind. An output still open is completed first.
  virtual ConverterResult OpenOutput(const QString& path, ComponentFormat format) = 0;
  virtual int GetLastError() const = 0;
  // Interleaved samples in the input format; any count (a frame split over two calls is kept).
  virtual ConverterResult WriteSamples(std::span<const std::int16_t> samples) = 0;
  // Completes and closes the open output, if any; the file is then whole on disk.
  virtual ConverterResult Reset() = 0;
};

// Creates a conversion component; nullptr when its encoders are not usable.
std::unique_ptr<IConversionComponent> CreateAudioConverter();

}  // namespace corvane
