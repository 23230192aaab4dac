#include "ripper/RipperComponents.h"

#include "components/IConversionComponent.h"

namespace corvane {

RipperComponents::RipperComponents(IAudioPlayer2EventHandler& playerHandler,
                                   IAudioCDGrabberEventHandler& grabberHandler, ComponentFactories factories)
    : factories_(std::move(factories)), player_events_(playerHandler), grabber_events_(grabberHandler) {}

RipperComponents::~RipperComponents() { Release(); }

bool RipperComponents::Create() {
  Release();
  player_ = factories_.player ? factories_.player() : nullptr;
  if (player_) grabber_ = factories_.grabber ? factories_.grabber() : nullptr;
  if (grabber_) freedb_ = factories_.freedb ? factories_.freedb() : nullptr;
  if (!freedb_) {
    Release();
    return false;
  }
  player_events_.Advise(*player_);
  grabber_events_.Advise(*grabber_);
  encoder_ = grabber_->GetEncoder();
  if (encoder_ == nullptr) {
    Release();
    return false;
  }
  encoder_->Prepare(1);
  return true;
}

void RipperComponents::Release() {
  grabber_events_.Unadvise();
  player_events_.Unadvise();
  encoder_ = nullptr;
  freedb_.reset();
  grabber_.reset();
  player_.reset();
}

}  // namespace corvane
