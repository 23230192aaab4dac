// The windowed program: start-up, then the main window run modally.
#include <QApplication>
#include <QTextStream>

#include "app/CAudioConverterApp.h"
#include "app/gui/CAudioConverterDlg.h"
#include "app/gui/GuiSetUp.h"
#include "app/gui/QtUserInterface.h"

namespace {

bool DisplayAvailable() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return true;
  return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  if (!DisplayAvailable()) {
    QTextStream(stderr) << "corvane: no display is available, so the window cannot be shown.\n"
                           "Use corvane-cli to convert from a terminal (corvane-cli --help), or run "
                           "corvane under xvfb-run.\n";
    return 1;
  }
  QApplication qtApp(argc, argv);
  corvane::CAudioConverterApp app;
  corvane::QtUserInterface ui;
  corvane::SetUpGuiApplication();
  if (!app.StartUp(QApplication::arguments().mid(1), ui)) return 1;
  corvane::CAudioConverterDlg window(app, ui);
  window.show();
  window.exec();
  return 0;
}
