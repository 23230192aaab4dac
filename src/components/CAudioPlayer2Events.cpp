#include "components/CAudioPlayer2Events.h"

#include "components/IAudioPlayer2.h"

namespace corvane {

CAudioPlayer2Events::CAudioPlayer2Events(IAudioPlayer2EventHandler& handler, QObject* parent)
    : QObject(parent), handler_(handler) {}

CAudioPlayer2Events::~CAudioPlayer2Events() { Unadvise(); }

void CAudioPlayer2Events::Advise(IAudioPlayer2& source) {
  Unadvise();
  connection_ = connect(
      &source, &IAudioPlayer2::Event, this, [this](const ComponentEvent& event) { Invoke(event); },
      Qt::QueuedConnection);
}

void CAudioPlayer2Events::Unadvise() {
  if (connection_) disconnect(connection_);
  connection_ = {};
}

bool CAudioPlayer2Events::Invoke(const ComponentEvent& event) {
  switch (event.id) {
    case 1:
    case 4:
      handler_.OnFeedRequest();
      return true;
    case 3:
      handler_.OnPosition(event.first);
      return true;
    case 5:
      handler_.OnPlaybackEnded();
      return true;
    default:
      return false;
  }
}

}  // namespace corvane
