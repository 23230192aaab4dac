#include "app/gui/GuiSetUp.h"

#include <QApplication>

#include "ui/ApplicationIcon.h"

namespace corvane {

void SetUpGuiApplication() {
  QApplication::setWindowIcon(ApplicationIcon());
  // Names the installed desktop entry, which window systems match the windows to.
  QGuiApplication::setDesktopFileName(QStringLiteral("com.quillon.corvane"));
}

}  // namespace corvane
