#pragma once
#include <QString>
#include <array>

#include "formats/EncodeSettings.h"

namespace corvane {

// One named output-quality preset.
struct OutputQuality {
  static constexpr int kMaxNameLength = 99;

  QString name;
  EncodeSettings settings;

  friend bool operator==(const OutputQuality&, const OutputQuality&) = default;
};

// The five presets of a first start and of "Reset All".
std::array<OutputQuality, 5> DefaultOutputQualities();

}  // namespace corvane
