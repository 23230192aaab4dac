#pragma once
#include <QObject>
#include <vector>

#include "common/Waiting.h"

class QEventLoop;

namespace corvane {

// Waiting in a nested event loop of the thread that made this object: timers, network replies,
// queued signals (a component's events, a repaint, a click) are served meanwhile. Wake reaches
// the loop as a queued call, so it may come from any thread; nothing wakes the loop on a timer.
class EventLoopWaiting final : public IWaiting {
 public:
  EventLoopWaiting() = default;
  EventLoopWaiting(const EventLoopWaiting&) = delete;
  EventLoopWaiting& operator=(const EventLoopWaiting&) = delete;

  // Only on the thread that made this object. A wait may nest in what an outer wait serves.
  void WaitUntil(const std::function<bool()>& ready) override;
  void Wake() override;

 private:
  QObject context_;                 // the queued calls of Wake run on its thread
  std::vector<QEventLoop*> loops_;  // the waits running, innermost last
};

}  // namespace corvane
