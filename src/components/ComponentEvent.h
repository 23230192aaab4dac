#pragma once
#include <QMetaType>
#include <QtGlobal>

namespace corvane {

// One event of the grabber or the player component, as its sink receives it: the event's number
// and its arguments. Which arguments an event carries depends on its number (see the sinks).
struct ComponentEvent {
  int id = 0;
  qint64 first = 0;   // grabber 3: read attempts; grabber 4: query state; player 3: position
  qint64 second = 0;  // grabber 3 and player 3: a second value the receivers ignore
  double value = 0;   // grabber 2: percent done
};

}  // namespace corvane

Q_DECLARE_METATYPE(corvane::ComponentEvent)
