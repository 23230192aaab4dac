#pragma once
#include <QMetaObject>
#include <QObject>

#include "components/ComponentEvent.h"

namespace corvane {

class IAudioPlayer2;

// What the ripper does with the player's events.
class IAudioPlayer2EventHandler {
 public:
  virtual ~IAudioPlayer2EventHandler() = default;
  virtual void OnFeedRequest() = 0;            // events 1 and 4
  virtual void OnPosition(qint64 frames) = 0;  // event 3
  virtual void OnPlaybackEnded() = 0;          // event 5
};

// The sink of the player's events; see CAudioCDGrabberEvents.
class CAudioPlayer2Events : public QObject {
  Q_OBJECT
 public:
  explicit CAudioPlayer2Events(IAudioPlayer2EventHandler& handler, QObject* parent = nullptr);
  ~CAudioPlayer2Events() override;

  void Advise(IAudioPlayer2& source);
  void Unadvise();
  bool Invoke(const ComponentEvent& event);

 private:
  IAudioPlayer2EventHandler& handler_;
  QMetaObject::Connection connection_;
};

}  // namespace corvane
