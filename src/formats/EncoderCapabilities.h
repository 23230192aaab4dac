#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "components/IConversionComponent.h"
#include "formats/OutputFormatCatalogue.h"

namespace corvane {

using ConverterFactory = std::function<std::unique_ptr<IConversionComponent>()>;

// What the encoders accept, as the quality panel and the encoder set-up need it: the bitrate
// bounds of a format at a rate and channel count, and the WMA rates and quality levels of the
// engine.
class EncoderCapabilities {
 public:
  explicit EncoderCapabilities(ConverterFactory factory = CreateAudioConverter);

  // Lowest and highest table bitrate (kbps) the format's encoder takes; 0 when none, or when no
  // conversion component can be created. Formats other than MP3 and OGG give 8 and 320.
  int FindLowestSupportedBitrate(FormatCode format, int sampleRate, int channels) const;
  int FindHighestSupportedBitrate(FormatCode format, int sampleRate, int channels) const;

  // Constant WMA bitrates in bits per second, in the engine's order.
  std::vector<int> WmaBitrates(int sampleRate, int channels) const;
  // WMA VBR quality levels in the engine's order (100 or more means lossless).
  std::vector<int> WmaVbrQualities(int sampleRate, int channels) const;

  std::unique_ptr<IConversionComponent> CreateConverter() const { return factory_ ? factory_() : nullptr; }

 private:
  int FindBitrate(FormatCode format, int sampleRate, int channels, bool lowest) const;

  ConverterFactory factory_;
};

}  // namespace corvane
