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
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace corvane
