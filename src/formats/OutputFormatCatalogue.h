#pragma once
#include <QString>
#include <QStringList>
#include <array>

#include "components/IConversionComponent.h"

namespace corvane {

// Output format codes as stored in presets and passed to the encoders (there is no 5).
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

struct OutputFormatInfo {
  FormatCode code;
  const char* name;       // as the Format box shows it
  const char* extension;  // with its dot
  EncoderBackend backend;
  ComponentFormat component;  // the conversion component's own number, None when it does not write it
};

// The fixed tables of output formats and options. Positions are rows of the panel's boxes.
namespace catalogue {

inline constexpr std::array<OutputFormatInfo, 8> kFormats = {{
    {FormatCode::Mp3, "MP3", ".mp3", EncoderBackend::ConverterComponent, ComponentFormat::Mp3},
    {FormatCode::Wav, "WAV", ".wav", EncoderBackend::ConverterComponent, ComponentFormat::Wav},
    {FormatCode::Ogg, "OGG", ".ogg", EncoderBackend::ConverterComponent, ComponentFormat::Ogg},
    {FormatCode::Wma, "WMA", ".wma", EncoderBackend::EngineWma, ComponentFormat::Wma},
    {FormatCode::Flac, "FLAC", ".flac", EncoderBackend::FlacProgram, ComponentFormat::None},
    {FormatCode::Ape, "Monkey's Audio", ".ape", EncoderBackend::ApeLibrary, ComponentFormat::None},
    {FormatCode::Musepack, "MusePack", ".mpc", EncoderBackend::MusepackProgram, ComponentFormat::None},
    {FormatCode::Vox, "VOX", ".vox", EncoderBackend::ConverterComponent, ComponentFormat::Vox},
}};

inline constexpr std::array<int, 9> kSampleRates = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
inline constexpr std::array<int, 17> kBitrates = {8,  16,  24,  32,  40,  48,  56,  64, 80,
                                                  96, 112, 128, 160, 192, 224, 256, 320};
inline constexpr std::array<const char*, 4> kWavCodecs = {"PCM", "ADPCM", "A-law", "U-law"};
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
int PositionOfFormat(int code);
int PositionOfSampleRate(int rate);
int PositionOfBitrate(int kbps);

// Format at a row; nullptr outside the table.
const OutputFormatInfo* FormatAt(int position);
// Format with a code; nullptr for an unknown code.
const OutputFormatInfo* FindFormat(int code);
// Extension with its dot of a format code; empty for an unknown code.
QString ExtensionOf(int code);
QString NameOf(int code);

// The texts the boxes show, in box order.
QStringList FormatNames();
QStringList SampleRateTexts();
QStringList WavCodecTexts();
QStringList MusepackPresetTexts();  // "3: 'standard' quality"
QStringList Mp3VbrQualityTexts();   // "VBR Quality 0 (Best)" .. "VBR Quality 9 (Worst)"

}  // namespace catalogue
}  // namespace corvane
