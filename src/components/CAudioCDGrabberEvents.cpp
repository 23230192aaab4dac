#include "components/CAudioCDGrabberEvents.h"

#include "components/IAudioCDGrabber.h"

namespace corvane {

CAudioCDGrabberEvents::CAudioCDGrabberEvents(IAudioCDGrabberEventHandler& handler, QObject* parent)
    : QObject(parent), handler_(handler) {}

CAudioCDGrabberEvents::~CAudioCDGrabberEvents() { Unadvise(); }

void CAudioCDGrabberEvents::Advise(IAudioCDGrabber& source) {
  Unadvise();
  // Queued even when the grabber signals on this thread: a handler may start long work, and the
  // grabber's own call must return first.
  connection_ = connect(
      &source, &IAudioCDGrabber::Event, this, [this](const ComponentEvent& event) { Invoke(event); },
      Qt::QueuedConnection);
}

void CAudioCDGrabberEvents::Unadvise() {
  if (connection_) disconnect(connection_);
  connection_ = {};
}

bool CAudioCDGrabberEvents::Invoke(const ComponentEvent& event) {
  switch (event.id) {
    case 1:
      handler_.OnDiscChanged();
      return true;
    case 2:
      handler_.OnGrabProgress(event.value);
      return true;
    case 3:
      handler_.OnReadRetries(static_cast<int>(event.first));
      return true;
    case 4:
      handler_.OnFreedbState(static_cast<int>(event.first));
      return true;
    default:
      return false;
  }
}

}  // namespace corvane
