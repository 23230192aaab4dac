#include "engine/CAudioEngine.h"

#include <SDL2/SDL.h>

namespace corvane {
namespace {

Result<EngineError> PartFailure(EngineError code, EngineLibrary library, const char* why) {
  const char* name = kEngineLibraries[static_cast<std::size_t>(library)].name;
  return Result<EngineError>::Failure(
      code,
      QStringLiteral("the %1 part of the audio engine %2").arg(QString::fromUtf8(name), QString::fromLatin1(why)));
}

}  // namespace

CAudioEngine::CAudioEngine(std::unique_ptr<IEngineCapabilityProbe> probe) : probe_(std::move(probe)) {}

CAudioEngine::~CAudioEngine() { Teardown(); }

Result<EngineError> CAudioEngine::Bind(EngineLibrary library) {
  if (library == EngineLibrary::Core) {
    Teardown();
  } else if (!IsCoreLoaded()) {
    return PartFailure(EngineError::Init, library, "needs the core, which is not bound");
  }
  attempted_[Index(library)] = true;
  switch (probe_->Probe(library)) {
    case ProbeResult::Available:
      state_[Index(library)] = State::Bound;
      return Result<EngineError>::Success();
    case ProbeResult::NotProvided:
      state_[Index(library)] = State::BoundEmpty;
      return Result<EngineError>::Success();
    case ProbeResult::Missing:
      break;
  }
  return PartFailure(EngineError::NotAvailable, library, "is missing from the linked libraries");
}

Result<EngineError> CAudioEngine::BindAll() {
  for (const EngineLibraryInfo& part : kEngineLibraries) {
    if (Result<EngineError> bound = Bind(part.library); bound.Failed()) return bound;
  }
  return Result<EngineError>::Success();
}

bool CAudioEngine::Bound(EngineLibrary library) const { return state_[Index(library)] != State::NotBound; }

bool CAudioEngine::Provides(EngineLibrary library) const { return state_[Index(library)] == State::Bound; }

bool CAudioEngine::Attempted(EngineLibrary library) const { return attempted_[Index(library)]; }

int CAudioEngine::OpenOutputDevice(int device, int frequency) {
  output_device_flag_ = 0;
  if (!IsCoreLoaded()) return 0;
  if (output_device_ != 0) {
    SDL_CloseAudioDevice(output_device_);
    output_device_ = 0;
  }
  if (device == 0) return 0;  // the no-sound device: decoding only
  if (!audio_subsystem_) {
    audio_subsystem_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!audio_subsystem_) return 0;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = frequency;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = 4096;
  const char* name = nullptr;
  if (device > 0) name = SDL_GetAudioDeviceName(device - 1, 0);
  output_device_ = SDL_OpenAudioDevice(name, 0, &wanted, &output_spec_, 0);
  if (output_device_ == 0) return 0;
  output_device_flag_ = 1;
  return output_device_flag_;
}

void CAudioEngine::Teardown() {
  if (output_device_ != 0) {
    SDL_CloseAudioDevice(output_device_);
    output_device_ = 0;
  }
  if (audio_subsystem_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_subsystem_ = false;
  }
  output_device_flag_ = 0;
  state_.fill(State::NotBound);
  attempted_.fill(false);
}

}  // namespace corvane
