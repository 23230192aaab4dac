#include "engine/AudioPlayer.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <vector>

#include "engine/AudioFileServices.h"
#include "engine/CAudioEngine.h"

namespace corvane {
namespace {

constexpr qint64 kQueueAheadMs = 1000;  // covers a late timer tick or two with room to spare
constexpr int kBlockBytes = 16384;

}  // namespace

EngineResult<std::unique_ptr<AudioPlayer>> AudioPlayer::Create(const CAudioEngine& engine,
                                                               std::unique_ptr<DecodeStream> stream) {
  using Created = EngineResult<std::unique_ptr<AudioPlayer>>;
  if (!stream) return Created::Failure(EngineError::Handle);
  if (!stream->Playable()) return Created::Failure(EngineError::Decode);
  if (engine.OutputDeviceFlag() != 1 || engine.OutputDevice() == 0) return Created::Failure(EngineError::Init);
  const SDL_AudioSpec& spec = engine.OutputSpec();
  if (spec.format != AUDIO_S16SYS) return Created::Failure(EngineError::Format);
  EngineResult<std::unique_ptr<MixerStream>> mixer = MixerStream::Create(*stream, spec.freq, spec.channels);
  if (!mixer.Succeeded()) return Created::Failure(mixer.status.code);
  return Created::Success(
      std::unique_ptr<AudioPlayer>(new AudioPlayer(engine.OutputDevice(), std::move(stream), std::move(*mixer.value))));
}

AudioPlayer::AudioPlayer(SDL_AudioDeviceID device, std::unique_ptr<DecodeStream> stream,
                         std::unique_ptr<MixerStream> mixer)
    : device_(device), stream_(std::move(stream)), mixer_(std::move(mixer)) {
  length_ms_ = AudioFileServices::LengthMs(*stream_);
  // The device may hold samples of someone who did not clean up; they are not ours to play.
  SDL_PauseAudioDevice(device_, 1);
  SDL_ClearQueuedAudio(device_);
}

AudioPlayer::~AudioPlayer() {
  SDL_PauseAudioDevice(device_, 1);
  SDL_ClearQueuedAudio(device_);
}

qint64 AudioPlayer::BytesPerSecond() const {
  const ChannelInfo info = mixer_->Info();
  return static_cast<qint64>(info.rate) * info.FrameBytes();
}

qint64 AudioPlayer::QueuedBytes() const { return static_cast<qint64>(SDL_GetQueuedAudioSize(device_)); }

qint64 AudioPlayer::HeardBytes() const { return start_bytes_ + std::max<qint64>(0, queued_total_ - QueuedBytes()); }

qint64 AudioPlayer::PositionMs() const {
  const qint64 bytesPerSecond = BytesPerSecond();
  if (bytesPerSecond <= 0) return 0;
  return std::min(length_ms_, HeardBytes() * 1000 / bytesPerSecond);
}

bool AudioPlayer::IsActive() const { return !(source_done_ && QueuedBytes() == 0); }

bool AudioPlayer::SeekBytes(qint64 bytes) {
  const int frameBytes = mixer_->Info().FrameBytes();
  bytes = std::clamp<qint64>(bytes, 0, mixer_->LengthBytes());
  bytes -= bytes % frameBytes;
  if (bytes >= mixer_->LengthBytes()) {
    // At the end there is nothing left to decode; the stream is not moved because rounding
    // between the two sample rates may put the source a frame past its own end.
    SDL_ClearQueuedAudio(device_);
    start_bytes_ = bytes;
    queued_total_ = 0;
    source_done_ = true;
    error_ = EngineError::Ok;
    return true;
  }
  if (!mixer_->Seek(bytes)) {
    error_ = EngineError::Position;
    return false;
  }
  SDL_ClearQueuedAudio(device_);
  start_bytes_ = mixer_->PositionBytes();
  queued_total_ = 0;
  source_done_ = false;
  error_ = EngineError::Ok;
  return true;
}

bool AudioPlayer::SeekMs(qint64 ms) {
  const bool wasPlaying = playing_;
  if (wasPlaying) SDL_PauseAudioDevice(device_, 1);
  const bool moved = SeekBytes(std::max<qint64>(0, ms) * BytesPerSecond() / 1000);
  if (wasPlaying) {
    Fill();
    SDL_PauseAudioDevice(device_, 0);
  }
  return moved;
}

bool AudioPlayer::Fill() {
  const qint64 target = kQueueAheadMs * BytesPerSecond() / 1000;
  std::vector<char> block(kBlockBytes);
  while (!source_done_ && QueuedBytes() < target) {
    const int read = mixer_->Read(block.data(), kBlockBytes);
    if (read < 0) {
      error_ = mixer_->LastError();
      source_done_ = true;
      return false;
    }
    if (read == 0) {
      source_done_ = true;
      break;
    }
    if (SDL_QueueAudio(device_, block.data(), static_cast<Uint32>(read)) != 0) {
      error_ = EngineError::Device;
      source_done_ = true;
      return false;
    }
    queued_total_ += read;
  }
  return true;
}

bool AudioPlayer::Play() {
  if (!Fill() && queued_total_ == 0) return false;
  SDL_PauseAudioDevice(device_, 0);
  playing_ = true;
  return true;
}

void AudioPlayer::Pause() {
  SDL_PauseAudioDevice(device_, 1);
  playing_ = false;
}

void AudioPlayer::Stop() {
  SDL_PauseAudioDevice(device_, 1);
  const qint64 heard = HeardBytes();
  playing_ = false;
  SDL_ClearQueuedAudio(device_);
  // Put the stream where the listener was, so that a later Play goes on from there.
  if (!SeekBytes(heard)) {
    start_bytes_ = heard;
    queued_total_ = 0;
  }
}

void AudioPlayer::Service() {
  if (playing_) Fill();
}

}  // namespace corvane
