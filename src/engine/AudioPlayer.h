#pragma once
#include <SDL2/SDL_audio.h>
#include <QtGlobal>
#include <memory>

#include "engine/DecodeStream.h"
#include "engine/MixerStream.h"

namespace corvane {

class CAudioEngine;

// Plays one decoded stream through the engine's output device. The device runs in queue mode
// (no callback): the player converts the stream to the device's rate and channel count and keeps
// about a second of samples queued ahead. Service() tops the queue up; the owner calls it often
// (the position timer does, every 100 ms), and Play() does once at the start. Positions count
// what the listener has heard, not what was decoded or queued.
//
// One player at a time may use the device: it pauses the device and empties its queue when it
// stops or goes away.
class AudioPlayer {
 public:
  // Takes `stream` and prepares it for the device. Fails with Handle for no stream, Decode when
  // the stream was opened for decoding only (not playable), Init when no output device is open,
  // Format or IllegalParam when its samples cannot be converted for the device.
  static EngineResult<std::unique_ptr<AudioPlayer>> Create(const CAudioEngine& engine,
                                                           std::unique_ptr<DecodeStream> stream);
  ~AudioPlayer();
  AudioPlayer(const AudioPlayer&) = delete;
  AudioPlayer& operator=(const AudioPlayer&) = delete;

  // Playing time of the stream in milliseconds.
  qint64 LengthMs() const { return length_ms_; }
  // Moves to `ms` (at most the length), dropping what was queued. While playing, playback goes
  // on from there. False when the stream cannot move there; the position is then unchanged.
  bool SeekMs(qint64 ms);
  // Starts or resumes from the current position. False, with LastError, when the device refused
  // the samples or the stream failed before anything could be queued.
  bool Play();
  // Holds playback; what is queued stays queued and the position stays put.
  void Pause();
  // Stops and empties the queue; the position stays where the listener was.
  void Stop();
  // Tops up the queue while playing.
  void Service();

  // Milliseconds of the stream heard so far (the place a seek moved to, plus what the device
  // has taken from the queue since).
  qint64 PositionMs() const;
  bool IsPlaying() const { return playing_; }
  // True until the whole stream was queued and the device has taken all of it (or the stream
  // failed).
  bool IsActive() const;
  EngineError LastError() const { return error_; }

 private:
  AudioPlayer(SDL_AudioDeviceID device, std::unique_ptr<DecodeStream> stream, std::unique_ptr<MixerStream> mixer);
  qint64 BytesPerSecond() const;
  qint64 QueuedBytes() const;
  qint64 HeardBytes() const;
  bool SeekBytes(qint64 bytes);
  bool Fill();

  SDL_AudioDeviceID device_;
  std::unique_ptr<DecodeStream> stream_;
  std::unique_ptr<MixerStream> mixer_;  // reads stream_, so declared after it and destroyed first
  qint64 length_ms_ = 0;
  qint64 start_bytes_ = 0;   // device-format position the last seek moved to
  qint64 queued_total_ = 0;  // bytes handed to the device since then
  bool source_done_ = false;
  bool playing_ = false;
  EngineError error_ = EngineError::Ok;
};

}  // namespace corvane
