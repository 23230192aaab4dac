#pragma once
#include <SDL2/SDL_audio.h>
#include <QTimer>

#include "components/IAudioPlayer2.h"

namespace corvane {

// The player component over an SDL audio device of its own (16-bit stereo at 44100 Hz, queue
// mode). The device is opened by StartPlay and closed by StopPlay, so the converter's device and
// this one can be open at the same time. Where the audio driver allows only one open device (SDL's
// dummy driver, a bare ALSA card), StartPlay borrows the shared device it was given instead, when
// that one takes the same samples; it is then only paused and emptied, never closed. While a device is open a timer on
// the owner's thread asks for buffers (event 4) as long as fewer than two are waiting, reports the position (event 3)
// and, once an empty buffer was written and the queue has drained, the end (event 5, once per end).
class SdlCdPlayer final : public IAudioPlayer2 {
  Q_OBJECT
 public:
  // Bytes of one buffer the grabber reads for playback: 26 sectors of 2352 bytes.
  static constexpr qint64 kBufferBytes = 26 * 2352;
  static constexpr int kFrameBytes = 4;
  static constexpr int kRate = 44100;

  // `sharedDevice`: an open device of 16-bit stereo at 44100 Hz to fall back on; 0 for none.
  explicit SdlCdPlayer(SDL_AudioDeviceID sharedDevice = 0);
  ~SdlCdPlayer() override;
  SdlCdPlayer(const SdlCdPlayer&) = delete;
  SdlCdPlayer& operator=(const SdlCdPlayer&) = delete;

  PlayerResult StartPlay() override;
  PlayerResult StopPlay() override;
  PlayerResult ResetPlay() override;
  PlayerResult WriteBuffer(const QByteArray& buffer) override;
  qint64 PositionToMs(qint64 frames) const override;

 private:
  void Tick();
  void CloseDevice();
  void ClearCounters();
  qint64 QueuedBytes() const;

  bool audio_subsystem_ = false;  // this player holds one reference on SDL's audio subsystem
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioDeviceID shared_device_ = 0;
  bool borrowed_ = false;  // device_ is the shared device
  QTimer timer_;
  qint64 written_bytes_ = 0;  // handed to the device since StartPlay or ResetPlay
  qint64 heard_frames_ = 0;   // the last position reported
  bool end_written_ = false;
  bool end_reported_ = false;
};

}  // namespace corvane
