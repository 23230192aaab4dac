#include "components/loudness/LoudnessMeter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace corvane {
namespace {

constexpr int kMode = EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK;

double TruePeakOf(ebur128_state* state, int channels) {
  double peak = 0;
  for (int channel = 0; channel < channels; ++channel) {
    double value = 0;
    if (ebur128_true_peak(state, static_cast<unsigned int>(channel), &value) == EBUR128_SUCCESS) {
      peak = std::max(peak, value);
    }
  }
  return peak;
}

}  // namespace

LoudnessMeter::LoudnessMeter(int rate, int channels) : rate_(rate), channels_(channels) { Open(); }

LoudnessMeter::~LoudnessMeter() { Close(); }

void LoudnessMeter::Open() {
  if (rate_ <= 0 || channels_ <= 0) return;
  state_ = ebur128_init(static_cast<unsigned int>(channels_), static_cast<unsigned long>(rate_), kMode);
}

void LoudnessMeter::Close() {
  if (state_ != nullptr) ebur128_destroy(&state_);
  state_ = nullptr;
}

void LoudnessMeter::Consume(const char* pcm, qsizetype bytes) {
  if (!Usable() || bytes <= 0) return;
  const qsizetype frameBytes = static_cast<qsizetype>(channels_) * 2;
  if (!partial_.empty()) {
    const qsizetype take = std::min(bytes, frameBytes - static_cast<qsizetype>(partial_.size()));
    partial_.insert(partial_.end(), pcm, pcm + take);
    pcm += take;
    bytes -= take;
    if (static_cast<qsizetype>(partial_.size()) < frameBytes) return;
    Consume(partial_.data(), frameBytes);
    partial_.clear();
    if (bytes == 0) return;
  }
  const qsizetype whole = bytes / frameBytes;
  if (whole > 0) {
    // Copied into samples of their own: the piece need not be aligned for 16-bit reads.
    frames_.resize(static_cast<size_t>(whole * channels_));
    std::memcpy(frames_.data(), pcm, static_cast<size_t>(whole * frameBytes));
    if (ebur128_add_frames_short(state_, frames_.data(), static_cast<size_t>(whole)) != EBUR128_SUCCESS) {
      broken_ = true;
    }
  }
  partial_.assign(pcm + whole * frameBytes, pcm + bytes);
}

void LoudnessMeter::Restart() {
  Close();
  partial_.clear();
  broken_ = false;
  Open();
}

void LoudnessMeter::Break() { broken_ = true; }

Loudness LoudnessMeter::Result() const { return Together({this}); }

Loudness LoudnessMeter::Together(const std::vector<const LoudnessMeter*>& meters) {
  std::vector<ebur128_state*> states;
  Loudness result;
  for (const LoudnessMeter* meter : meters) {
    if (meter == nullptr || !meter->Usable()) continue;
    states.push_back(meter->state_);
    result.true_peak = std::max(result.true_peak, TruePeakOf(meter->state_, meter->channels_));
  }
  if (states.empty()) return result;
  double integrated = 0;
  double range = 0;
  if (ebur128_loudness_global_multiple(states.data(), states.size(), &integrated) != EBUR128_SUCCESS ||
      !std::isfinite(integrated)) {
    return result;
  }
  if (ebur128_loudness_range_multiple(states.data(), states.size(), &range) != EBUR128_SUCCESS ||
      !std::isfinite(range)) {
    range = 0;
  }
  result.measured = true;
  result.integrated = integrated;
  result.range = range;
  return result;
}

}  // namespace corvane
