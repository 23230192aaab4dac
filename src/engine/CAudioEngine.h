#pragma once
#include <SDL2/SDL_audio.h>
#include <QString>
#include <array>
#include <memory>

#include "common/Result.h"
#include "engine/EngineCapabilityProbe.h"
#include "engine/EngineError.h"
#include "engine/EngineLibrary.h"

namespace corvane {

// The audio engine: the linked decoding, mixing, encoding and CD libraries bound in a fixed
// order, and the output device. Everything else in the program asks it what it can do.
class CAudioEngine {
 public:
  explicit CAudioEngine(std::unique_ptr<IEngineCapabilityProbe> probe = std::make_unique<LinkedLibraryProbe>());
  ~CAudioEngine();
  CAudioEngine(const CAudioEngine&) = delete;
  CAudioEngine& operator=(const CAudioEngine&) = delete;

  // Binds one part. The core must be bound first (binding it tears down what was bound before);
  // any other part fails with Init while the core is not bound. Succeeds when the part is usable
  // or, for a part no library here provides, when it was recorded as empty; NotAvailable when
  // the linked libraries lack it. The failure's text names the part.
  Result<EngineError> Bind(EngineLibrary library);
  // Binds all eighteen parts in order, stopping at the first failure, which it returns.
  Result<EngineError> BindAll();

  bool IsCoreLoaded() const { return Bound(EngineLibrary::Core); }
  bool Bound(EngineLibrary library) const;
  // True when the part is bound and really provides its capability (not recorded empty).
  bool Provides(EngineLibrary library) const;
  // Whether Bind was attempted for the part since the last teardown.
  bool Attempted(EngineLibrary library) const;

  // Opens the output device: -1 the system default, 0 no sound. Falls back to no sound when the
  // device cannot be opened. Returns the output device flag: 1 when a real device is open.
  int OpenOutputDevice(int device, int frequency);
  int OutputDeviceFlag() const { return output_device_flag_; }
  // The SDL device playback is queued on; 0 when there is no real device.
  SDL_AudioDeviceID OutputDevice() const { return output_device_; }
  const SDL_AudioSpec& OutputSpec() const { return output_spec_; }

  // Releases the device and every bound part. Runs on destruction and before the core binds.
  void Teardown();

 private:
  enum class State { NotBound, Bound, BoundEmpty };
  static int Index(EngineLibrary library) { return static_cast<int>(library); }

  std::unique_ptr<IEngineCapabilityProbe> probe_;
  std::array<State, kEngineLibraryCount> state_{};
  std::array<bool, kEngineLibraryCount> attempted_{};
  int output_device_flag_ = 0;
  bool audio_subsystem_ = false;
  SDL_AudioDeviceID output_device_ = 0;
  SDL_AudioSpec output_spec_{};
};

}  // namespace corvane
