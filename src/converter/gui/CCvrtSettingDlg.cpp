#include "converter/gui/CCvrtSettingDlg.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/strings/ConverterText.h"
#include "common/strings/FormatText.h"
#include "encoding/LoudnessNormalization.h"
#include "ui/DialogSizing.h"
#include "ui/SettingsControls.h"

namespace corvane {

CCvrtSettingDlg::CCvrtSettingDlg(SettingsStore& store, QWidget* parent) : QDialog(parent), store_(store) {
  setWindowTitle(StringTable::Text(text::kSettingsCaption));
  const ConverterSettings settings = ConverterSettings::Load(store_);
  auto* layout = new QVBoxLayout(this);

  auto* sourceBox = new QGroupBox(StringTable::Text(text::kSourceFolderHeading), this);
  auto* sourceLayout = new QVBoxLayout(sourceBox);
  source_mode_ = AddRadios(this, sourceLayout, {text::kAlwaysThisFolder, text::kRememberLastFolder},
                           settings.source_folder_mode == 0 ? 0 : 1);
  auto* folderRow = new QHBoxLayout;
  folder_ = new QLineEdit(settings.default_source_folder, sourceBox);
  auto* browse = new QPushButton(StringTable::Text(text::kBrowseButton), sourceBox);
  folderRow->addWidget(folder_);
  folderRow->addWidget(browse);
  sourceLayout->addLayout(folderRow);
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, StringTable::Text(text::kDefaultFolderChooserTitle), folder_->text());
    if (!chosen.isEmpty()) folder_->setText(chosen);
  });
  layout->addWidget(sourceBox);

  auto* tagsBox = new QGroupBox(StringTable::Text(text::kKeepTagsHeading), this);
  auto* tagsLayout = new QVBoxLayout(tagsBox);
  tagsLayout->addWidget(new QLabel(StringTable::Text(text::kId3v2Heading), tagsBox));
  const int id3v2 = settings.enable_id3v2 >= 0 && settings.enable_id3v2 <= 2 ? settings.enable_id3v2 : 0;
  id3v2_ = AddRadios(this, tagsLayout, {text::kId3v2Auto, text::kId3v2Always, text::kId3v2Never}, id3v2);
  layout->addWidget(tagsBox);

  replaygain_ =
      AddChoiceRow(this, tagsLayout, text::kReplayGainLabel, text::kReplayGainOffEntry, 3, settings.replaygain);
  AddNormalization(*layout);

  auto* beforeBox = new QGroupBox(StringTable::Text(text::kBeforeStartHeading), this);
  auto* beforeLayout = new QVBoxLayout(beforeBox);
  confirmation_ = AddBox(this, beforeLayout, text::kOutputFolderConfirmationBox, settings.output_folder_confirmation);
  overwrite_ = AddBox(this, beforeLayout, text::kPromptOverwriteBox, settings.confirm_overwrite);
  layout->addWidget(beforeBox);

  auto* afterBox = new QGroupBox(StringTable::Text(text::kWhenCompletedHeading), this);
  auto* afterLayout = new QVBoxLayout(afterBox);
  success_ = AddBox(this, afterLayout, text::kShowCompletedBox, settings.show_success);
  open_folder_ = AddBox(this, afterLayout, text::kOpenOutputFolderBox, settings.auto_open_folder);
  layout->addWidget(afterBox);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CCvrtSettingDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  WidenForPath(*folder_, 40, 90);
  SizeDialogToContent(*this, 50);
}

void CCvrtSettingDlg::AddNormalization(QVBoxLayout& layout) {
  const std::optional<LoudnessTarget> stored = LoudnessTarget::Read(store_, keys::section::kConvert);
  auto* box = new QGroupBox(StringTable::Text(text::kNormalizationGroup), this);
  auto* boxLayout = new QVBoxLayout(box);
  normalization_ = AddRadios(this, boxLayout, text::kNormalizePeakRadio, 2, stored ? 1 : 0);
  const LoudnessTarget shown = stored.value_or(LoudnessTarget());
  const LoudnessFields fields = AddLoudnessFields(box, boxLayout, shown.lufs, shown.ceiling);
  loudness_target_ = fields.target;
  true_peak_ceiling_ = fields.ceiling;
  const auto enable = [this, fields] { fields.SetEnabled(normalization_->checkedId() == 1); };
  connect(normalization_, &QButtonGroup::idClicked, this, enable);
  enable();
  layout.addWidget(box);
}

ConverterSettings CCvrtSettingDlg::FromControls() const {
  ConverterSettings settings;
  settings.source_folder_mode = source_mode_->checkedId();
  settings.default_source_folder = folder_->text();
  settings.enable_id3v2 = id3v2_->checkedId();
  settings.output_folder_confirmation = confirmation_->isChecked();
  settings.confirm_overwrite = overwrite_->isChecked();
  settings.show_success = success_->isChecked();
  settings.auto_open_folder = open_folder_->isChecked();
  settings.replaygain = replaygain_->currentIndex();
  return settings;
}

void CCvrtSettingDlg::accept() {
  FromControls().Save(store_);
  LoudnessTarget target;
  target.lufs = loudness_target_->value();
  target.ceiling = true_peak_ceiling_->value();
  LoudnessTarget::Write(store_, keys::section::kConvert,
                        normalization_->checkedId() == 1 ? std::optional(target) : std::nullopt);
  QDialog::accept();
}

}  // namespace corvane
