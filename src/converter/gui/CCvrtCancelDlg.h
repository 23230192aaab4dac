#pragma once
#include <QDialog>

#include "common/UserInterface.h"

namespace corvane {

// "Stop Convert": stop this file, go on, or stop all files. "&No" is the default and Esc's answer.
class CCvrtCancelDlg : public QDialog {
  Q_OBJECT
 public:
  CCvrtCancelDlg(const QString& question, QWidget* parent = nullptr);
  StopAnswer Answer() const { return answer_; }

 private:
  StopAnswer answer_ = StopAnswer::Continue;
};

}  // namespace corvane
