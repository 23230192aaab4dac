#pragma once
#include <QWidget>

namespace corvane {

// A page of the main window. F9 asks for the next page; Esc is swallowed so that it never
// closes the window. A page shown in a dialog of its own lets Esc through, so that it closes that
// dialog. A working page reports whether it runs a job.
class PageWidget : public QWidget {
  Q_OBJECT
 public:
  explicit PageWidget(QWidget* parent = nullptr) : QWidget(parent) {}
  // True while a conversion or a rip is in progress.
  virtual bool JobRunning() const { return false; }
  void SetSwallowsEscape(bool swallows) { swallows_escape_ = swallows; }

 signals:
  void cycleRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool swallows_escape_ = true;
};

}  // namespace corvane
