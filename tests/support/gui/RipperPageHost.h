#pragma once
#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/gui/QtUserInterface.h"
#include "common/MemorySettings.h"
#include "presets/COutputQualityMgmt.h"
#include "support/gui/DialogAnswerer.h"

namespace corvane {
class CRipperPage;
}

namespace corvane::test {

// The "CD Ripper" page of the widget tests, in a window of its own: memory settings kept in
// `folder`, the presets, the windowed user interface (its status texts of pane 1 recorded) and
// an answerer that hands every dialog but the window to `answer`.
class RipperPageHost {
 public:
  RipperPageHost(const QString& folder, std::function<void(QDialog&)> answer);
  ~RipperPageHost();

  MemorySettings& Settings() { return *settings_; }
  COutputQualityMgmt& Presets() { return *presets_; }
  QtUserInterface& Ui() { return *ui_; }
  QStringList& Statuses() { return statuses_; }
  QDialog& Window() { return *window_; }

  // Makes the page with the settings as they are, shows it and waits until what its start-up
  // held back for the shown window has come up and the window is active; nullptr when not.
  CRipperPage* Show();

 private:
  std::unique_ptr<MemorySettings> settings_;
  std::unique_ptr<COutputQualityMgmt> presets_;
  std::unique_ptr<QtUserInterface> ui_;
  std::unique_ptr<DialogAnswerer> answerer_;
  std::unique_ptr<QDialog> window_;
  QStringList statuses_;
};

}  // namespace corvane::test
