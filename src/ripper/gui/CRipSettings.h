#pragma once
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include "ripper/RipperSettingsValues.h"

namespace corvane {

class IUserInterface;
class SettingsStore;

// "Ripper Settings": grab mode, retries, what to do on read errors and the before/after options
// of a rip. Reads its values (writing missing defaults) when constructed, writes them all on OK,
// nothing on Cancel. A retries text that is no integer keeps the dialog open.
class CRipSettings : public QDialog {
  Q_OBJECT
 public:
  CRipSettings(IUserInterface& ui, SettingsStore& store, QWidget* parent = nullptr);
  void accept() override;
  // The values as the controls show them; nullopt while the retries text is no integer.
  std::optional<RipperSettingsValues> FromControls() const;

  QButtonGroup* GrabModeGroup() const { return grab_mode_; }
  QButtonGroup* ErrorActionGroup() const { return error_action_; }
  QLineEdit* RetriesEdit() const { return retries_; }

 private:
  IUserInterface& ui_;
  SettingsStore& store_;
  QButtonGroup* grab_mode_ = nullptr;
  QButtonGroup* error_action_ = nullptr;
  QLineEdit* retries_ = nullptr;
  QCheckBox* id3v2_ = nullptr;
  QCheckBox* confirmation_ = nullptr;
  QCheckBox* overwrite_ = nullptr;
  QCheckBox* success_ = nullptr;
  QCheckBox* open_folder_ = nullptr;
};

}  // namespace corvane
