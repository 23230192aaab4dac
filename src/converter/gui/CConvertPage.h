#pragma once
#include "ui/PageWidget.h"

namespace corvane {

// The "Audio Convert" page.
class CConvertPage : public PageWidget {
  Q_OBJECT
 public:
  explicit CConvertPage(QWidget* parent = nullptr);
  bool JobRunning() const override { return job_running_; }
  void SetJobRunning(bool running) { job_running_ = running; }

 private:
  bool job_running_ = false;
};

}  // namespace corvane
