#include "ui/PageWidget.h"

#include <QKeyEvent>

namespace corvane {

void PageWidget::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_F9:
      emit cycleRequested();
      event->accept();
      return;
    case Qt::Key_Escape:
      if (!swallows_escape_) break;
      event->accept();
      return;
    default:
      break;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace corvane
