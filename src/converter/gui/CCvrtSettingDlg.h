#pragma once
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "converter/ConverterSettings.h"

namespace corvane {

// "Converter Settings": reads its values when constructed, writes them all on OK, nothing on
// Cancel.
class CCvrtSettingDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CCvrtSettingDlg(SettingsStore& store, QWidget* parent = nullptr);
  void accept() override;
  // The values as the controls show them now.
  ConverterSettings FromControls() const;

  QButtonGroup* SourceModeGroup() const { return source_mode_; }
  QButtonGroup* Id3v2Group() const { return id3v2_; }
  QComboBox* ReplayGainBox() const { return replaygain_; }
  QButtonGroup* NormalizationGroup() const { return normalization_; }
  QDoubleSpinBox* LoudnessTargetField() const { return loudness_target_; }
  QLineEdit* DefaultFolder() const { return folder_; }

 private:
  // Peak or loudness, with the loudness target and ceiling.
  void AddNormalization(QVBoxLayout& layout);

  SettingsStore& store_;
  QButtonGroup* source_mode_ = nullptr;
  QButtonGroup* id3v2_ = nullptr;
  QComboBox* replaygain_ = nullptr;
  QButtonGroup* normalization_ = nullptr;  // 0 peak, 1 loudness
  QDoubleSpinBox* loudness_target_ = nullptr;
  QDoubleSpinBox* true_peak_ceiling_ = nullptr;
  QLineEdit* folder_ = nullptr;
  QCheckBox* confirmation_ = nullptr;
  QCheckBox* overwrite_ = nullptr;
  QCheckBox* success_ = nullptr;
  QCheckBox* open_folder_ = nullptr;
};

}  // namespace corvane
