#pragma once
#include <QWidget>

namespace corvane {

// A page of the main window. F9 asks for the next page; Esc is swallowed so that it never
// closes the window. A working page reports whether it runs a job.
class PageWidget : public QWidget {
  Q_OBJECT
 public:
  explicit PageWidget(QWidget* parent = nullptr) : QWidget(parent) {}
  // True while a conversion or a rip is in progress.
  virtual bool JobRunning() const { return false; }

 signals:
  void cycleRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace corvane
