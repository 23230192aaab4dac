#pragma once
#include <functional>
#include <memory>

#include "components/CAudioCDGrabberEvents.h"
#include "components/CAudioPlayer2Events.h"
#include "components/IAudioCDGrabber.h"
#include "components/IAudioPlayer2.h"
#include "components/IFreedbClient.h"

namespace corvane {

class IConversionComponent;

// How the ripper makes its three components; the real factories unless a test hands others.
struct ComponentFactories {
  std::function<std::unique_ptr<IAudioPlayer2>()> player = [] { return CreateAudioPlayer2(); };
  std::function<std::unique_ptr<IAudioCDGrabber>()> grabber = CreateAudioCDGrabber;
  std::function<std::unique_ptr<IFreedbClient>()> freedb = CreateFreedbClient;
};

// The ripper's components and the sinks of their events. Create makes the player, the grabber
// and the freedb client in that order, connects the player's sink and then the grabber's, and
// readies the grabber's encoder object; Release (and the destructor) undoes that in reverse.
class RipperComponents {
 public:
  RipperComponents(IAudioPlayer2EventHandler& playerHandler, IAudioCDGrabberEventHandler& grabberHandler,
                   ComponentFactories factories = {});
  ~RipperComponents();
  RipperComponents(const RipperComponents&) = delete;
  RipperComponents& operator=(const RipperComponents&) = delete;

  // False, with nothing left created, when a component or the encoder object is missing.
  bool Create();
  void Release();
  bool Created() const { return grabber_ != nullptr; }

  IAudioPlayer2* Player() const { return player_.get(); }
  IAudioCDGrabber* Grabber() const { return grabber_.get(); }
  IFreedbClient* FreedbClient() const { return freedb_.get(); }
  IConversionComponent* Encoder() const { return encoder_; }

 private:
  ComponentFactories factories_;
  CAudioPlayer2Events player_events_;
  CAudioCDGrabberEvents grabber_events_;
  std::unique_ptr<IAudioPlayer2> player_;
  std::unique_ptr<IAudioCDGrabber> grabber_;
  std::unique_ptr<IFreedbClient> freedb_;
  IConversionComponent* encoder_ = nullptr;
};

}  // namespace corvane
