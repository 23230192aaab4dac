#pragma once
#include <QDialog>

class QCheckBox;

namespace corvane {

// A notice with "&OK" and "&Cancel" and a "&Don't show this message again" box; the caller keeps
// the switch the box stands for.
class InformationPopup : public QDialog {
  Q_OBJECT
 public:
  InformationPopup(const QString& caption, const QString& text, QWidget* parent = nullptr);
  bool DontShowAgain() const;

  // Shows the popup until it is closed; true when the box was ticked.
  static bool Show(const QString& caption, const QString& text, QWidget* parent);

 private:
  QCheckBox* dont_show_ = nullptr;
};

}  // namespace corvane
