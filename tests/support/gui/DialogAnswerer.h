#pragma once
#include <QTimer>
#include <functional>

class QDialog;

namespace corvane::test {

// Answers the modal windows a widget test opens: every `intervalMs` it hands each visible
// top-level dialog (message boxes included) to `answer`, which reads it and closes it or leaves
// it alone. The timer also fires inside a dialog's own event loop, so no test waits on a window
// nobody sees.
class DialogAnswerer {
 public:
  DialogAnswerer(std::function<void(QDialog& dialog)> answer, int intervalMs);

 private:
  QTimer timer_;
};

}  // namespace corvane::test
