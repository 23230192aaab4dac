#pragma once
#include "ripper/RipperController.h"

namespace corvane {

// Marks the page busy for its life; nested scopes keep it busy until the outermost ends.
class RipperController::BusyScope {
 public:
  explicit BusyScope(RipperController& owner) : owner_(owner), was_busy_(owner.busy_) { owner_.busy_ = true; }
  ~BusyScope() { owner_.busy_ = was_busy_; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  RipperController& owner_;
  bool was_busy_;
};

}  // namespace corvane
