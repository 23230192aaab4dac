#pragma once
#include <vector>

#include "common/PcmTap.h"

namespace corvane {

// Several taps on one reading: each call goes on to every tap added, in the order added.
class PcmTaps final : public PcmTap {
 public:
  void Add(PcmTap* tap) {
    if (tap != nullptr) taps_.push_back(tap);
  }
  // Null when no tap was added, so that a reader with nothing to feed is handed none.
  PcmTap* OrNull() { return taps_.empty() ? nullptr : this; }

  void Consume(const char* pcm, qsizetype bytes) override {
    for (PcmTap* tap : taps_) tap->Consume(pcm, bytes);
  }
  void Restart() override {
    for (PcmTap* tap : taps_) tap->Restart();
  }
  void Break() override {
    for (PcmTap* tap : taps_) tap->Break();
  }

 private:
  std::vector<PcmTap*> taps_;
};

}  // namespace corvane
