#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "common/UserInterface.h"

namespace corvane {

// "Confirm Overwrite": overwrite, skip (the default, also Esc), overwrite all, or overwrite under
// another name picked in a save chooser.
class CConfirmOverwriteDlg : public QDialog {
  Q_OBJECT
 public:
  // Picks the other name: given the current one, returns the chosen path or "" when cancelled.
  using NameChooser = std::function<QString(QWidget* parent, const QString& current)>;

  CConfirmOverwriteDlg(const QString& message, const QString& proposedPath, QWidget* parent = nullptr);
  OverwriteReply Reply() const { return reply_; }
  // Tests replace the save chooser.
  void SetNameChooser(NameChooser chooser) { chooser_ = std::move(chooser); }

  QCheckBox* OtherNameBox() const { return other_name_box_; }
  QPushButton* OverwriteAllButton() const { return overwrite_all_; }
  QPushButton* BrowseButton() const { return browse_; }

 private:
  void OnOtherNameToggled(bool on);
  void Browse();
  void Finish(OverwriteReply::Choice choice);
  static QString ChooseWithDialog(QWidget* parent, const QString& current);

  QLineEdit* name_ = nullptr;
  QCheckBox* other_name_box_ = nullptr;
  QCheckBox* dont_ask_ = nullptr;
  QPushButton* overwrite_all_ = nullptr;
  QPushButton* browse_ = nullptr;
  NameChooser chooser_ = &CConfirmOverwriteDlg::ChooseWithDialog;
  OverwriteReply reply_;
};

}  // namespace corvane
