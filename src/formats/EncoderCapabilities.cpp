#include "formats/EncoderCapabilities.h"

#include <ranges>

#include "engine/WmaEncoderRates.h"
#include "formats/OutputFormatCatalogue.h"

namespace corvane {

EncoderCapabilities::EncoderCapabilities(ConverterFactory factory) : factory_(std::move(factory)) {}

int EncoderCapabilities::FindBitrate(FormatCode format, int sampleRate, int channels, bool lowest) const {
  const bool mp3 = format == FormatCode::Mp3;
  const bool ogg = format == FormatCode::Ogg;
  if (!mp3 && !ogg) return lowest ? catalogue::kBitrates.front() : catalogue::kBitrates.back();

  const std::unique_ptr<IConversionComponent> converter = CreateConverter();
  if (!converter) return 0;
  auto supported = [&](int kbps) {
    return mp3 ? converter->IsMp3FormatSupported(sampleRate, kbps, channels)
               : converter->IsOggFormatSupported(sampleRate, channels, kbps, kbps, kbps);
  };
  if (lowest) {
    for (int kbps : catalogue::kBitrates) {
      if (supported(kbps)) return kbps;
    }
  } else {
    for (int kbps : catalogue::kBitrates | std::views::reverse) {
      if (supported(kbps)) return kbps;
    }
  }
  return 0;
}

int EncoderCapabilities::FindLowestSupportedBitrate(FormatCode format, int sampleRate, int channels) const {
  return FindBitrate(format, sampleRate, channels, true);
}

int EncoderCapabilities::FindHighestSupportedBitrate(FormatCode format, int sampleRate, int channels) const {
  return FindBitrate(format, sampleRate, channels, false);
}

std::vector<int> EncoderCapabilities::WmaBitrates(int sampleRate, int channels) const {
  return WmaEncoderRates::ConstantBitrates(sampleRate, channels);
}

std::vector<int> EncoderCapabilities::WmaVbrQualities(int sampleRate, int channels) const {
  return WmaEncoderRates::VbrQualities(sampleRate, channels);
}

}  // namespace corvane
