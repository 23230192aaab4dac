#include "components/grabber/CddbDiscId.h"

namespace corvane {
namespace {

constexpr int kFramesPerSecond = 75;

int DigitSum(int value) {
  int sum = 0;
  for (; value > 0; value /= 10) sum += value % 10;
  return sum;
}

}  // namespace

quint32 CddbDiscId(std::span<const int> trackFrames, int leadoutFrame) {
  if (trackFrames.empty()) return 0;
  quint32 checksum = 0;
  for (const int frame : trackFrames) checksum += static_cast<quint32>(DigitSum(frame / kFramesPerSecond));
  // Whole seconds of each end first, then the difference: the difference of the frames, floored,
  // can come out one second short.
  const int seconds = leadoutFrame / kFramesPerSecond - trackFrames.front() / kFramesPerSecond;
  return (checksum % 255u) << 24 | (static_cast<quint32>(seconds) & 0xffffu) << 8 |
         (static_cast<quint32>(trackFrames.size()) & 0xffu);
}

}  // namespace corvane
