#pragma once
#include "ui/PageWidget.h"

namespace corvane {

// The "CD Ripper" page.
class CRipperPage : public PageWidget {
  Q_OBJECT
 public:
  explicit CRipperPage(QWidget* parent = nullptr);
  bool JobRunning() const override { return job_running_; }
  void SetJobRunning(bool running) { job_running_ = running; }

 private:
  bool job_running_ = false;
};

}  // namespace corvane
