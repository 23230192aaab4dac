#pragma once
#include <QGroupBox>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace corvane {

class PresetCommands;
class QualityPanel;
struct ComboBoxState;

// The quality panel of a page: the preset list, the format and option boxes, the radio rows and
// check boxes, and the "&Quality Mgmt..." menu. It draws the panel logic's state and hands every
// user action to the logic; it decides nothing itself. Both pages carry one, each bound to its
// own panel logic and preset commands.
class QualityPanelWidget : public QGroupBox {
  Q_OBJECT
 public:
  QualityPanelWidget(QualityPanel& panel, PresetCommands& commands, QWidget* parent = nullptr);
  ~QualityPanelWidget() override;

  // Redraws every control from the logic's state.
  void Render();

 private:
  void BuildLayout();
  void ArrangeControls();
  void BuildMenu();
  void Connect();
  QComboBox* NewCombo(const char* name);
  static void RenderCombo(QComboBox* combo, const ComboBoxState& state);

  QualityPanel& panel_;
  PresetCommands& commands_;
  QListWidget* presets_ = nullptr;
  QComboBox* format_ = nullptr;
  QComboBox* sample_rate_ = nullptr;
  QComboBox* bitrate_ = nullptr;
  QLabel* quality_label_ = nullptr;
  QComboBox* mp3_vbr_ = nullptr;
  QComboBox* wav_codec_ = nullptr;
  QComboBox* musepack_ = nullptr;
  QComboBox* wma_ = nullptr;
  QRadioButton* stereo_ = nullptr;
  QRadioButton* mono_ = nullptr;
  QRadioButton* bits8_ = nullptr;
  QRadioButton* bits16_ = nullptr;
  QButtonGroup* channel_group_ = nullptr;
  QButtonGroup* bits_group_ = nullptr;
  QCheckBox* vbr_ = nullptr;
  QCheckBox* keep_tags_ = nullptr;
  QCheckBox* normalize_ = nullptr;
  QSpinBox* normalize_percent_ = nullptr;
  QPushButton* management_ = nullptr;
};

}  // namespace corvane
