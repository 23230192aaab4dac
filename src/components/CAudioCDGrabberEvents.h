#pragma once
#include <QMetaObject>
#include <QObject>

#include "components/ComponentEvent.h"

namespace corvane {

class IAudioCDGrabber;

// What the ripper does with the grabber's events.
class IAudioCDGrabberEventHandler {
 public:
  virtual ~IAudioCDGrabberEventHandler() = default;
  virtual void OnDiscChanged() = 0;                 // event 1
  virtual void OnGrabProgress(double percent) = 0;  // event 2
  virtual void OnReadRetries(int attempts) = 0;     // event 3
  virtual void OnFreedbState(int code) = 0;         // event 4
};

// The sink of the grabber's events. Advise connects it to a grabber; events then arrive through
// the sink's thread's event loop, whatever thread signalled them, and go to the handler.
class CAudioCDGrabberEvents : public QObject {
  Q_OBJECT
 public:
  explicit CAudioCDGrabberEvents(IAudioCDGrabberEventHandler& handler, QObject* parent = nullptr);
  ~CAudioCDGrabberEvents() override;

  void Advise(IAudioCDGrabber& source);
  void Unadvise();
  // Hands one event to the handler; false (and nothing done) for an id the sink does not know.
  bool Invoke(const ComponentEvent& event);

 private:
  IAudioCDGrabberEventHandler& handler_;
  QMetaObject::Connection connection_;
};

}  // namespace corvane
