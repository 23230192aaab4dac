#pragma once
#include <QByteArray>
#include <QObject>
#include <cstdint>
#include <memory>

#include "common/Result.h"
#include "components/ComponentEvent.h"

namespace corvane {

enum class PlayerErrorCode : int {
  Ok = 0,
  NoDevice = 1,    // no audio output device could be opened
  NotStarted = 2,  // a buffer was written or playback reset before StartPlay
  BadBuffer = 3,   // a buffer that is not whole 16-bit stereo frames
};
using PlayerResult = Result<PlayerErrorCode>;

// The player component: plays 16-bit stereo 44100 Hz buffers (as the grabber reads them) through
// the output device.
//
// Events (signalled on the thread that owns the player): 1 and 4 ask for the next buffer while
// fewer than two are waiting to be heard; 3 reports the position (first: sample frames heard
// since StartPlay or ResetPlay); 5 says the end was heard, after an empty buffer was written.
class IAudioPlayer2 : public QObject {
  Q_OBJECT
 public:
  ~IAudioPlayer2() override = default;

  virtual PlayerResult StartPlay() = 0;
  virtual PlayerResult StopPlay() = 0;
  // Drops what is waiting and counts positions from 0 again (a seek follows).
  virtual PlayerResult ResetPlay() = 0;
  // Queues a buffer; an empty buffer marks the end of the track.
  virtual PlayerResult WriteBuffer(const QByteArray& buffer) = 0;
  virtual qint64 PositionToMs(qint64 frames) const = 0;

 signals:
  void Event(corvane::ComponentEvent event);
};

// Creates the player component over SDL audio; nullptr when it cannot be created. `sharedDevice`
// is an open SDL output device of 16-bit stereo at 44100 Hz that the player may fall back on when
// the driver will not open a second device (0: none).
std::unique_ptr<IAudioPlayer2> CreateAudioPlayer2(std::uint32_t sharedDevice = 0);

}  // namespace corvane
