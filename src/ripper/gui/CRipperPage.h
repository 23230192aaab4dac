#pragma once
#include "ui/PageWidget.h"

namespace corvane {

class IFreedbClient;

// The "CD Ripper" page.
class CRipperPage : public PageWidget {
  Q_OBJECT
 public:
  explicit CRipperPage(QWidget* parent = nullptr);
  bool JobRunning() const override { return job_running_; }
  void SetJobRunning(bool running) { job_running_ = running; }
  // The page's freedb client component; nullptr until the drives were initialised.
  IFreedbClient* FreedbClient() const { return freedb_client_; }

 private:
  bool job_running_ = false;
  IFreedbClient* freedb_client_ = nullptr;
};

}  // namespace corvane
