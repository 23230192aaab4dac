#pragma once
#include <QString>
#include <QStringList>
#include <array>

#include "components/IConversionComponent.h"

namespace corvane {

struct EncodeSettings;

// Output format codes as stored in presets and passed to the encoders (there is no 5). A code
// read from a file may be none of these: it travels as it is and counts as an unknown format.
enum class FormatCode : int {
  None = 0,
  Mp3 = 1,
  Wav = 2,
  Ogg = 3,
  Wma = 4,
  Flac = 6,
  Ape = 7,
  Musepack = 8,
  Vox = 101
};

// Which back-end writes a format.
enum class EncoderBackend { ConverterComponent, EngineWma, FlacProgram, ApeLibrary, MusepackProgram };

// WAV codec indexes of the codec box and of presets.
enum class WavCodec : int { Pcm = 0, Adpcm = 1, ALaw = 2, ULaw = 3 };

// The tags a format's output receives once it is encoded (the command-line and library
// back-ends write their own).
enum class OutputTags { None, Id3, TagComponent };

struct OutputFormatInfo {
  FormatCode code;
  const char* name;       // as the Format box shows it
  const char* extension;  // with its dot
  EncoderBackend backend;
  ComponentFormat component;  // the conversion component's own number, None when it does not write it
  OutputTags tags;
};

struct WavCodecInfo {
  WavCodec code;
  const char* name;    // as the codec box shows it
  const char* option;  // as corvane-cli takes it
};

// The stream an encoder is fed: the decoded source as it is, or a mixer in front of it that
// delivers `rate` and `channels`.
struct EncoderInput {
  bool mixer = true;
  int rate = 0;
  int channels = 0;

  friend bool operator==(const EncoderInput&, const EncoderInput&) = default;
};

// The fixed tables of output formats and options. Positions are rows of the panel's boxes.
namespace catalogue {

inline constexpr std::array<OutputFormatInfo, 8> kFormats = {{
    {FormatCode::Mp3, "MP3", ".mp3", EncoderBackend::ConverterComponent, ComponentFormat::Mp3, OutputTags::Id3},
    {FormatCode::Wav, "WAV", ".wav", EncoderBackend::ConverterComponent, ComponentFormat::Wav,
     OutputTags::TagComponent},
    {FormatCode::Ogg, "OGG", ".ogg", EncoderBackend::ConverterComponent, ComponentFormat::Ogg,
     OutputTags::TagComponent},
    {FormatCode::Wma, "WMA", ".wma", EncoderBackend::EngineWma, ComponentFormat::Wma, OutputTags::None},
    {FormatCode::Flac, "FLAC", ".flac", EncoderBackend::FlacProgram, ComponentFormat::None, OutputTags::None},
    {FormatCode::Ape, "Monkey's Audio", ".ape", EncoderBackend::ApeLibrary, ComponentFormat::None, OutputTags::None},
    {FormatCode::Musepack, "MusePack", ".mpc", EncoderBackend::MusepackProgram, ComponentFormat::None,
     OutputTags::None},
    {FormatCode::Vox, "VOX", ".vox", EncoderBackend::ConverterComponent, ComponentFormat::Vox, OutputTags::None},
}};

inline constexpr std::array<int, 9> kSampleRates = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
inline constexpr std::array<int, 17> kBitrates = {8,  16,  24,  32,  40,  48,  56,  64, 80,
                                                  96, 112, 128, 160, 192, 224, 256, 320};
inline constexpr std::array<WavCodecInfo, 4> kWavCodecs = {{
    {WavCodec::Pcm, "PCM", "pcm"},
    {WavCodec::Adpcm, "ADPCM", "adpcm"},
    {WavCodec::ALaw, "A-law", "alaw"},
    {WavCodec::ULaw, "U-law", "ulaw"},
}};
// The names are also the Musepack encoder's preset switches.
inline constexpr std::array<const char*, 7> kMusepackPresets = {"telephone", "thumb",  "radio",    "standard",
                                                                "xtreme",    "insane", "braindead"};
inline constexpr int kMp3VbrQualityCount = 10;
// MP3 channel modes (codes 1..4) and VBR methods (codes 0..4) of the encoder settings.
inline constexpr std::array<const char*, 4> kMp3ChannelModes = {"Stereo", "Joint Stereo", "Forced Joint Stereo",
                                                                "Dual Channel"};
inline constexpr std::array<const char*, 5> kMp3VbrMethods = {"Default", "Old", "New", "MTRH", "ABR"};

inline constexpr int kDefaultMusepackPreset = 3;  // "standard"
inline constexpr int kDefaultMp3VbrQuality = 4;

// Row of a format code, sample rate or bitrate in its table; -1 when absent.
int PositionOfFormat(FormatCode code);
int PositionOfSampleRate(int rate);
int PositionOfBitrate(int kbps);

// Format at a row; nullptr outside the table.
const OutputFormatInfo* FormatAt(int position);
// Format with a code; nullptr for an unknown code.
const OutputFormatInfo* FindFormat(FormatCode code);
// Format whose extension without its dot is `name`, in any case ("mp3", "MPC"); nullptr for none.
const OutputFormatInfo* FindFormatByExtension(const QString& name);
// Extension with its dot of a format code; empty for an unknown code.
QString ExtensionOf(FormatCode code);
QString NameOf(FormatCode code);
// Codec whose option name is `name`, in any case; nullptr for none.
const WavCodecInfo* FindWavCodecByOption(const QString& name);

// What the encoder of `settings` is fed from a source of `sourceRate` Hz and `sourceChannels`
// channels: the settings' rate and channels, except where the encoder takes the source's own.
EncoderInput InputFor(const EncodeSettings& settings, int sourceRate, int sourceChannels);
// The tags written into an output of `code` after encoding; None for an unknown code.
OutputTags TagsOf(FormatCode code);
// True when the writer of `code` opens its output by name.
bool WriterNeedsName(FormatCode code);
// True when an encoder object of the conversion component kind writes `code` (every format but
// those of an external program or library): the grabber's own grab can then write it.
bool EncoderObjectWrites(FormatCode code);

// The texts the boxes show, in box order.
QStringList FormatNames();
QStringList SampleRateTexts();
QStringList WavCodecTexts();
QStringList MusepackPresetTexts();  // "3: 'standard' quality"
QStringList Mp3VbrQualityTexts();   // "VBR Quality 0 (Best)" .. "VBR Quality 9 (Worst)"

}  // namespace catalogue
}  // namespace corvane
