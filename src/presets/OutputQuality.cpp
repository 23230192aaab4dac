#include "presets/OutputQuality.h"

#include "formats/OutputFormatCatalogue.h"

namespace corvane {
namespace {

OutputQuality Mp3Preset(const char* name, int rate, int bitrate, int channels, int bits, int wma, int musepack) {
  OutputQuality quality;
  quality.name = QString::fromLatin1(name);
  quality.settings = EncodeSettings{
      FormatCode::Mp3, rate,         bitrate, channels, bits, wma, musepack, catalogue::kDefaultMp3VbrQuality,
      false,           WavCodec::Pcm};
  return quality;
}

}  // namespace

std::array<OutputQuality, 5> DefaultOutputQualities() {
  return {{
      Mp3Preset("HiFi Quality", 48000, 192, 2, 16, 90, 6),
      Mp3Preset("CD Quality", 44100, 128, 2, 16, 90, 4),
      Mp3Preset("FM Radio Quality", 22050, 96, 2, 16, 10, 3),
      Mp3Preset("AM Radio Quality", 22050, 96, 1, 16, 10, 2),
      Mp3Preset("Telephone Quality", 11025, 32, 1, 8, 10, 0),
  }};
}

}  // namespace corvane
