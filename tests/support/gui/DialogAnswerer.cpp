#include "support/gui/DialogAnswerer.h"

#include <QApplication>
#include <QDialog>

namespace corvane::test {

DialogAnswerer::DialogAnswerer(std::function<void(QDialog& dialog)> answer, int intervalMs) {
  QObject::connect(&timer_, &QTimer::timeout, [answer = std::move(answer)] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QDialog*>(widget);
      if (dialog != nullptr && dialog->isVisible()) answer(*dialog);
    }
  });
  timer_.start(intervalMs);
}

}  // namespace corvane::test
