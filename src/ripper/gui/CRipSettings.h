#pragma once
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

#include "ripper/RipperSettingsValues.h"

namespace corvane {

class IUserInterface;
class SettingsStore;

// "Ripper Settings": grab mode, retries, what to do on read errors, the before/after options of a
// rip, the AccurateRip check with its address, the rip log, and the read offset of the drive
// whose identifier it is given (no offset field without one: a disc image has none). Reads its
// values (writing missing defaults) when constructed, writes them all on OK, nothing on Cancel.
// A retries text that is no integer keeps the dialog open.
class CRipSettings : public QDialog {
  Q_OBJECT
 public:
  CRipSettings(IUserInterface& ui, SettingsStore& store, QWidget* parent = nullptr,
               const QString& driveIdentifier = QString());
  void accept() override;
  // The values as the controls show them; nullopt while the retries text is no integer.
  std::optional<RipperSettingsValues> FromControls() const;

  QButtonGroup* GrabModeGroup() const { return grab_mode_; }
  QComboBox* ReplayGainBox() const { return replaygain_; }
  QButtonGroup* ErrorActionGroup() const { return error_action_; }
  QLineEdit* RetriesEdit() const { return retries_; }
  QCheckBox* VerifyBox() const { return verify_; }
  QCheckBox* RipLogBox() const { return rip_log_; }
  QLineEdit* AccurateRipUrlEdit() const { return accuraterip_url_; }
  QSpinBox* ReadOffsetBox() const { return read_offset_; }  // hidden without a drive

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
  QCheckBox* verify_ = nullptr;
  QCheckBox* rip_log_ = nullptr;
  QComboBox* replaygain_ = nullptr;
  QCheckBox* normalize_ = nullptr;  // loudness normalisation, with its two fields
  QDoubleSpinBox* loudness_target_ = nullptr;
  QDoubleSpinBox* true_peak_ceiling_ = nullptr;
  QLineEdit* accuraterip_url_ = nullptr;
  QSpinBox* read_offset_ = nullptr;
  QString drive_identifier_;
};

}  // namespace corvane
