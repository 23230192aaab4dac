#pragma once
#include <QProgressDialog>
#include <memory>

#include "common/UserInterface.h"

namespace corvane {

// The progress window of a long job, over QProgressDialog.
class QtProgressWindow final : public IProgressWindow {
 public:
  QtProgressWindow(QWidget* parent, const QString& caption);
  void SetText(const QString& text) override;
  void SetRange(int minimum, int maximum) override;
  void SetPosition(int position) override;
  bool CancelRequested() const override;
  void SetCancelEnabled(bool enabled) override;
  void SetCancelHandler(std::function<void()> cancelled) override;

 private:
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace corvane
