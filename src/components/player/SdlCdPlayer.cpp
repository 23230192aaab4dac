#include "components/player/SdlCdPlayer.h"

#include <SDL2/SDL.h>
#include <algorithm>

namespace corvane {
namespace {

constexpr int kTickMs = 40;
constexpr Uint16 kDeviceSamples = 2048;  // about 46 ms per device period

enum EventId { kFirstBuffers = 1, kPosition = 3, kFeed = 4, kEnded = 5 };

QString SdlErrorText() { return QString::fromUtf8(SDL_GetError()); }

ComponentEvent MakeEvent(int id, qint64 first = 0) {
  ComponentEvent event;
  event.id = id;
  event.first = first;
  return event;
}

}  // namespace

SdlCdPlayer::SdlCdPlayer(SDL_AudioDeviceID sharedDevice) : shared_device_(sharedDevice) {
  // A machine without sound still gets a player; StartPlay tries again and says why it cannot.
  audio_subsystem_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  timer_.setInterval(kTickMs);
  connect(&timer_, &QTimer::timeout, this, &SdlCdPlayer::Tick);
}

SdlCdPlayer::~SdlCdPlayer() {
  CloseDevice();
  if (audio_subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

PlayerResult SdlCdPlayer::StartPlay() {
  CloseDevice();
  if (!audio_subsystem_) audio_subsystem_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (!audio_subsystem_) return PlayerResult::Failure(PlayerErrorCode::NoDevice, SdlErrorText());
  SDL_AudioSpec wanted{};
  wanted.freq = kRate;
  wanted.format = AUDIO_S16LSB;
  wanted.channels = 2;
  wanted.samples = kDeviceSamples;
  SDL_AudioSpec obtained{};
  // No changes allowed: SDL converts to whatever the hardware takes.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device_ == 0 && shared_device_ != 0) {
    const QString reason = SdlErrorText();
    SDL_PauseAudioDevice(shared_device_, 1);
    SDL_ClearQueuedAudio(shared_device_);
    device_ = shared_device_;
    borrowed_ = true;
    if (SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) {
      device_ = 0;
      borrowed_ = false;
      return PlayerResult::Failure(PlayerErrorCode::NoDevice, reason);
    }
  }
  if (device_ == 0) return PlayerResult::Failure(PlayerErrorCode::NoDevice, SdlErrorText());
  ClearCounters();
  SDL_PauseAudioDevice(device_, 0);
  timer_.start();
  emit Event(MakeEvent(kFirstBuffers));
  return PlayerResult::Success();
}

PlayerResult SdlCdPlayer::StopPlay() {
  CloseDevice();
  ClearCounters();
  return PlayerResult::Success();
}

PlayerResult SdlCdPlayer::ResetPlay() {
  if (device_ == 0) return PlayerResult::Failure(PlayerErrorCode::NotStarted);
  SDL_ClearQueuedAudio(device_);
  ClearCounters();
  return PlayerResult::Success();
}

PlayerResult SdlCdPlayer::WriteBuffer(const QByteArray& buffer) {
  if (device_ == 0) return PlayerResult::Failure(PlayerErrorCode::NotStarted);
  if (buffer.size() % kFrameBytes != 0) return PlayerResult::Failure(PlayerErrorCode::BadBuffer);
  if (buffer.isEmpty()) {
    end_written_ = true;
    return PlayerResult::Success();
  }
  if (SDL_QueueAudio(device_, buffer.constData(), static_cast<Uint32>(buffer.size())) != 0)
    return PlayerResult::Failure(PlayerErrorCode::NoDevice, SdlErrorText());
  written_bytes_ += buffer.size();
  return PlayerResult::Success();
}

qint64 SdlCdPlayer::PositionToMs(qint64 frames) const { return frames * 1000 / kRate; }

void SdlCdPlayer::Tick() {
  if (device_ == 0) return;
  const qint64 queued = QueuedBytes();
  // The device may still hold a period it took from the queue; what left the queue counts as
  // heard. The position never moves back within one run.
  heard_frames_ = std::max(heard_frames_, std::max<qint64>(0, written_bytes_ - queued) / kFrameBytes);
  if (!end_written_ && queued < 2 * kBufferBytes) emit Event(MakeEvent(kFeed));
  emit Event(MakeEvent(kPosition, heard_frames_));
  if (end_written_ && !end_reported_ && queued == 0) {
    end_reported_ = true;
    emit Event(MakeEvent(kEnded));
  }
}

void SdlCdPlayer::CloseDevice() {
  timer_.stop();
  if (device_ == 0) return;
  SDL_PauseAudioDevice(device_, 1);
  SDL_ClearQueuedAudio(device_);
  if (!borrowed_) SDL_CloseAudioDevice(device_);
  device_ = 0;
  borrowed_ = false;
}

void SdlCdPlayer::ClearCounters() {
  written_bytes_ = 0;
  heard_frames_ = 0;
  end_written_ = false;
  end_reported_ = false;
}

qint64 SdlCdPlayer::QueuedBytes() const { return static_cast<qint64>(SDL_GetQueuedAudioSize(device_)); }

std::unique_ptr<IAudioPlayer2> CreateAudioPlayer2(std::uint32_t sharedDevice) {
  return std::make_unique<SdlCdPlayer>(sharedDevice);
}

}  // namespace corvane
