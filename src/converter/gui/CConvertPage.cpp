#include "converter/gui/CConvertPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "components/IAudioConverter.h"
#include "converter/ConversionEncoding.h"
#include "converter/RunText.h"
#include "formats/COutputQualityMgmt.h"
#include "formats/EncoderSetup.h"
#include "ui/QualityPanelWidget.h"

namespace corvane {
namespace {
const char* const kSection = keys::section::kConvert;
}

CConvertPage::CConvertPage(const ConverterPageContext& context, QWidget* parent)
    : PageWidget(parent), context_(context), ui_(*context.ui) {
  setObjectName(QStringLiteral("convertPage"));
  capabilities_ = std::make_unique<EncoderCapabilities>();
  panel_ = std::make_unique<QualityPanel>(PanelPage::Converter, *capabilities_);
  commands_ = std::make_unique<PresetCommands>(*context_.presets, *panel_, ui_);
  BuildLayout();
  commands_->FillPresetList();
  panel_widget_->Render();
}

CConvertPage::~CConvertPage() = default;

void CConvertPage::BuildLayout() {
  auto* layout = new QVBoxLayout(this);
  auto* listGroup = new QGroupBox(StringTable::Text(text::kListGroup), this);
  list_area_ = new QVBoxLayout(listGroup);
  layout->addWidget(listGroup, 1);
  information_ = new QLabel(this);
  information_->setObjectName(QStringLiteral("informationLine"));
  layout->addWidget(information_);

  panel_widget_ = new QualityPanelWidget(*panel_, *commands_, this);
  panel_widget_->setTitle(StringTable::Text(text::kQualityGroup));
  layout->addWidget(panel_widget_);

  auto* outputRow = new QHBoxLayout;
  same_folder_ = new QCheckBox(StringTable::Text(text::kSameFolderBox), this);
  same_folder_->setChecked(SettingsStore::ReadNumberOrStore(kSection, keys::kSameFolderAsOriginal, 0) != 0);
  auto* outputLabel = new QLabel(StringTable::Text(text::kOutputFolderLabel), this);
  output_folder_ = new QLineEdit(SettingsStore::ReadTextOrStore(kSection, keys::kOutputFolder, QString()), this);
  output_folder_->setObjectName(QStringLiteral("outputFolder"));
  output_folder_->setReadOnly(true);
  outputLabel->setBuddy(output_folder_);
  browse_output_ = new QPushButton(QStringLiteral("..."), this);
  browse_output_->setToolTip(StringTable::Text(text::kOutputFolderTooltip));
  outputRow->addWidget(same_folder_);
  outputRow->addWidget(outputLabel);
  outputRow->addWidget(output_folder_, 1);
  outputRow->addWidget(browse_output_);
  layout->addLayout(outputRow);
  output_folder_->setEnabled(!same_folder_->isChecked());
  browse_output_->setEnabled(!same_folder_->isChecked());
  SettingsStore::ReadTextOrStore(kSection, keys::kLastSourceFolder, QString());

  auto* statusRow = new QGridLayout;
  statusRow->addWidget(new QLabel(StringTable::Text(text::kStatusLabel), this), 0, 0);
  status_line_ = new QLabel(StringTable::Text(text::kStatusIdle), this);
  status_line_->setObjectName(QStringLiteral("statusLine"));
  detail_line_ = new QLabel(this);
  detail_line_->setObjectName(QStringLiteral("detailLine"));
  statusRow->addWidget(status_line_, 0, 1);
  statusRow->addWidget(detail_line_, 1, 1);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  statusRow->addWidget(progress_, 2, 0, 1, 2);
  start_ = new QPushButton(StringTable::Text(text::kStartConvert), this);
  start_->setObjectName(QStringLiteral("startConvert"));
  start_->setToolTip(StringTable::Text(text::kStartConvertTooltip));
  statusRow->addWidget(start_, 0, 2, 3, 1);
  statusRow->setColumnStretch(1, 1);
  layout->addLayout(statusRow);

  connect(start_, &QPushButton::clicked, this, &CConvertPage::StartOrStop);
  connect(browse_output_, &QPushButton::clicked, this, &CConvertPage::ChooseOutputFolder);
  connect(same_folder_, &QCheckBox::toggled, this, [this](bool on) {
    SettingsStore::WriteNumber(kSection, keys::kSameFolderAsOriginal, on ? 1 : 0);
    output_folder_->setEnabled(!on);
    browse_output_->setEnabled(!on);
    emit outputLocationChanged();
  });
  auto* alternateD = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_D), this);
  connect(alternateD, &QShortcut::activated, this, &CConvertPage::ChooseOutputFolder);
}

void CConvertPage::ReloadQualityList() {
  commands_->FillPresetList();
  panel_widget_->Render();
}

void CConvertPage::ChooseOutputFolder() {
  const QString start = output_folder_->text().isEmpty() ? SettingsStore::ReadText(kSection, keys::kLastOutputFolder)
                                                         : output_folder_->text();
  if (const std::optional<QString> chosen = ui_.ChooseFolder(StringTable::Text(text::kChooseOutputFolder), start)) {
    SetOutputFolderField(*chosen);
    SettingsStore::WriteText(kSection, keys::kOutputFolder, *chosen);
  }
  emit outputLocationChanged();
}

RunServices CConvertPage::MakeRunServices() {
  RunServices services;
  services.encode = EncodeFile;
  services.make_converter = [] { return CreateAudioConverter(); };
  services.setup_encoder = [this](IAudioConverter& converter) {
    return SetupEncoder(converter, panel_->ReadPanelSettings(), context_.presets->Mp3Encoder(), *capabilities_, ui_);
  };
  services.check_before_run = [this] { return panel_->CheckBeforeRun(ui_); };
  services.scan_folder = scan_folder_;
  return services;
}

void CConvertPage::StartOrStop() {
  if (job_running_) {
    if (run_) run_->RequestStop();
    return;
  }
  if (rows_ == nullptr) return;
  run_ = std::make_unique<ConversionRun>(*rows_, *this, ui_, MakeRunServices());
  run_->Run(output_folder_->text(), panel_->ReadPanelSettings(), context_.program_folder);
}

bool CConvertPage::KeepTags() const { return panel_->State().keep_tags_checked; }

bool CConvertPage::NormalizeEnabled() const { return panel_->State().normalize_checked; }

int CConvertPage::NormalizeValue() const { return panel_->State().normalize_percent; }

void CConvertPage::SetNormalizeValue(int percent) {
  panel_->SetNormalizePercent(percent);
  panel_widget_->Render();
}

void CConvertPage::SetStatusLine(const QString& text) { status_line_->setText(text); }

bool CConvertPage::SameFolder() const { return same_folder_->isChecked(); }

void CConvertPage::SetDetailLine(const QString& text) { detail_line_->setText(text); }

void CConvertPage::SetRunning(bool running) {
  job_running_ = running;
  start_->setText(StringTable::Text(running ? text::kStopConvert : text::kStartConvert));
  for (QWidget* widget : idle_only_) widget->setEnabled(!running);
  if (running) information_->clear();
  if (!running) emit outputLocationChanged();
}

void CConvertPage::SetProgress(int percent) { progress_->setValue(percent); }

void CConvertPage::SetOutputFolderField(const QString& folder) { output_folder_->setText(folder); }

void CConvertPage::OpenAddFiles() {
  if (add_files_) add_files_();
}

}  // namespace corvane
