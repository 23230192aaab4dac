#include "ripper/gui/CRipSettings.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/FormatText.h"
#include "common/strings/RipperText.h"
#include "components/accuraterip/AccurateRipFetch.h"
#include "encoding/LoudnessNormalization.h"
#include "ui/DialogSizing.h"
#include "ui/SettingsControls.h"

namespace corvane {
namespace {

constexpr int kGrabModes = 4;
constexpr int kErrorActions = 3;
constexpr int kRetriesChars = 6;

}  // namespace

CRipSettings::CRipSettings(IUserInterface& ui, SettingsStore& store, QWidget* parent, const QString& driveIdentifier)
    : QDialog(parent), ui_(ui), store_(store), drive_identifier_(driveIdentifier.trimmed()) {
  setWindowTitle(StringTable::Text(text::kRipSettingsCaption));
  const RipperSettingsValues values = RipperSettingsValues::Load(store_);
  auto* layout = new QVBoxLayout(this);

  auto* modeBox = new QGroupBox(StringTable::Text(text::kGrabModeGroup), this);
  auto* modeLayout = new QVBoxLayout(modeBox);
  grab_mode_ = AddRadios(modeBox, modeLayout, text::kGrabModeFastRadio, kGrabModes,
                         RipperSettingsValues::RadioOf(values.grab_mode));
  auto* retriesRow = new QHBoxLayout;
  retries_ = new QLineEdit(QString::number(values.retries), modeBox);
  retries_->setMaximumWidth(QFontMetrics(retries_->font()).averageCharWidth() * kRetriesChars * 2);
  auto* retriesLabel = new QLabel(StringTable::Text(text::kRetriesLabel), modeBox);
  retriesLabel->setBuddy(retries_);
  retriesRow->addWidget(retries_);
  retriesRow->addWidget(retriesLabel, 1);
  modeLayout->addLayout(retriesRow);
  connect(grab_mode_, &QButtonGroup::idClicked, this, [this](int id) {
    retries_->setText(QString::number(RipperSettingsValues::RetriesFor(RipperSettingsValues::GrabModeOfRadio(id))));
  });
  layout->addWidget(modeBox);

  auto* errorBox = new QGroupBox(StringTable::Text(text::kErrorActionGroup), this);
  auto* errorLayout = new QVBoxLayout(errorBox);
  error_action_ = AddRadios(errorBox, errorLayout, text::kErrorActionStopRadio, kErrorActions,
                            RipperSettingsValues::RadioOf(values.error_action));
  // Discarding error blocks is kept for settings that chose it, but not offered.
  error_action_->button(RipperSettingsValues::RadioOf(ErrorAction::Discard))->hide();
  layout->addWidget(errorBox);

  id3v2_ = AddBox(this, layout, text::kWriteId3v2Box, values.enable_id3v2);
  confirmation_ = AddBox(this, layout, text::kRipFolderConfirmationBox, values.output_folder_confirmation);
  overwrite_ = AddBox(this, layout, text::kRipConfirmOverwriteBox, values.confirm_overwrite);
  success_ = AddBox(this, layout, text::kRipShowSuccessBox, values.show_success);
  open_folder_ = AddBox(this, layout, text::kRipAutoOpenFolderBox, values.auto_open_folder);
  rip_log_ = AddBox(this, layout, text::kRipLogBox, values.rip_log);
  const std::optional<LoudnessTarget> normalize = LoudnessTarget::Read(store_, keys::section::kRip);
  normalize_ = AddBox(this, layout, text::kRipNormalizeBox, normalize.has_value());
  const LoudnessTarget shown = normalize.value_or(LoudnessTarget());
  const LoudnessFields loudness = AddLoudnessFields(this, layout, shown.lufs, shown.ceiling);
  loudness_target_ = loudness.target;
  true_peak_ceiling_ = loudness.ceiling;
  loudness.SetEnabled(normalize_->isChecked());
  connect(normalize_, &QCheckBox::toggled, this, [loudness](bool on) { loudness.SetEnabled(on); });
  replaygain_ = AddChoiceRow(this, layout, text::kReplayGainLabel, text::kReplayGainOffEntry, 3, values.replaygain);

  auto* verifyBox = new QGroupBox(StringTable::Text(text::kVerifiedRipGroup), this);
  auto* verifyLayout = new QVBoxLayout(verifyBox);
  verify_ = AddBox(verifyBox, verifyLayout, text::kVerifyAccurateRipBox, values.verify_accuraterip);
  auto* fields = new QFormLayout;
  accuraterip_url_ = new QLineEdit(values.accuraterip_url, verifyBox);
  accuraterip_url_->setPlaceholderText(QString::fromLatin1(kAccurateRipDefaultBase));
  // The whole default address shows, with room for the frame and the margins.
  accuraterip_url_->setMinimumWidth(
      accuraterip_url_->fontMetrics().horizontalAdvance(accuraterip_url_->placeholderText() + QStringLiteral("MM")));
  accuraterip_url_->setEnabled(values.verify_accuraterip);
  connect(verify_, &QCheckBox::toggled, accuraterip_url_, &QWidget::setEnabled);
  fields->addRow(StringTable::Text(text::kAccurateRipUrlLabel), accuraterip_url_);
  read_offset_ = new QSpinBox(verifyBox);
  read_offset_->setRange(-kMaxReadOffset, kMaxReadOffset);
  read_offset_->setValue(ReadOffsetFor(store_, drive_identifier_));
  if (drive_identifier_.isEmpty()) {
    read_offset_->hide();
  } else {
    fields->addRow(StringTable::Format(text::kReadOffsetLabel, {drive_identifier_}), read_offset_);
  }
  verifyLayout->addLayout(fields);
  layout->addWidget(verifyBox);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CRipSettings::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  SizeDialogToContent(*this, 50);
}

std::optional<RipperSettingsValues> CRipSettings::FromControls() const {
  const std::optional<int> retries = RipperSettingsValues::ParseRetries(retries_->text());
  if (!retries) return std::nullopt;
  RipperSettingsValues values;
  values.grab_mode = RipperSettingsValues::GrabModeOfRadio(grab_mode_->checkedId());
  values.retries = *retries;
  values.error_action = RipperSettingsValues::ErrorActionOfRadio(error_action_->checkedId());
  values.enable_id3v2 = id3v2_->isChecked();
  values.output_folder_confirmation = confirmation_->isChecked();
  values.confirm_overwrite = overwrite_->isChecked();
  values.show_success = success_->isChecked();
  values.auto_open_folder = open_folder_->isChecked();
  values.verify_accuraterip = verify_->isChecked();
  values.rip_log = rip_log_->isChecked();
  values.accuraterip_url = accuraterip_url_->text().trimmed();
  values.replaygain = replaygain_->currentIndex();
  return values;
}

void CRipSettings::accept() {
  const std::optional<RipperSettingsValues> values = FromControls();
  if (!values) {
    ui_.ShowMessage(StringTable::Text(text::kEnterInteger), MessageIcon::Warning, MessageButtons::Ok);
    retries_->setFocus();
    retries_->selectAll();
    return;
  }
  values->Save(store_);
  WriteReadOffset(store_, drive_identifier_, read_offset_->value());
  LoudnessTarget target;
  target.lufs = loudness_target_->value();
  target.ceiling = true_peak_ceiling_->value();
  LoudnessTarget::Write(store_, keys::section::kRip, normalize_->isChecked() ? std::optional(target) : std::nullopt);
  QDialog::accept();
}

}  // namespace corvane
