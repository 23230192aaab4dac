#include "engine/LevelMeter.h"

#include <algorithm>
#include <cstdlib>

namespace corvane {
namespace {

constexpr int kStretchMs = 20;
constexpr int kPeakCap = 32767;

}  // namespace

LevelMeter::LevelMeter(AudioStream& stream) : stream_(stream) {
  const ChannelInfo info = stream.Info();
  const int frames = std::max(1, info.rate * kStretchMs / 1000);
  buffer_.resize(static_cast<size_t>(frames) * std::max(1, info.channels));
}

std::optional<LevelMeter::Levels> LevelMeter::Next() {
  const int channels = stream_.Info().channels;
  if (channels <= 0) return std::nullopt;
  const int read = stream_.Read(buffer_.data(), static_cast<int>(buffer_.size() * sizeof(qint16)));
  if (read <= 0) return std::nullopt;
  const int samples = read / 2;
  Levels levels;
  for (int i = 0; i < samples; ++i) {
    const int level = std::abs(static_cast<int>(buffer_[i]));
    // Left is the first channel; every further channel counts towards the right level.
    int& side = (i % channels == 0) ? levels.left : levels.right;
    side = std::max(side, level);
  }
  if (channels == 1) levels.right = levels.left;
  return levels;
}

int LevelMeter::MeasurePeak(AudioStream& stream) {
  LevelMeter meter(stream);
  int peak = 0;
  while (const std::optional<Levels> levels = meter.Next()) {
    peak = std::max({peak, levels->left, levels->right});
    if (peak >= kPeakCap) break;  // nothing can raise it further
  }
  return std::min(peak, kPeakCap);
}

}  // namespace corvane
