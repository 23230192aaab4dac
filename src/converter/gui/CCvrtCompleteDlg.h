#pragma once
#include <QCheckBox>
#include <QDialog>

#include "common/UserInterface.h"

namespace corvane {

// "Completed": the heading over the run's summary, "Open &Folder" (unless disabled) and the box
// against showing the window again. When files failed, a warning icon and their number come first.
class CCvrtCompleteDlg : public QDialog {
  Q_OBJECT
 public:
  CCvrtCompleteDlg(const QString& heading, const QString& summary, int failedCount, bool allowOpenFolder,
                   QWidget* parent = nullptr);
  CompletionReply Reply() const;

 private:
  QCheckBox* dont_show_ = nullptr;
  bool open_folder_ = false;
};

}  // namespace corvane
