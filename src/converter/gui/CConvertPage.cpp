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
#include "common/strings/ConverterText.h"
#include "components/IConversionComponent.h"
#include "converter/ConversionList.h"
#include "converter/ConversionListLoader.h"
#include "converter/FolderScan.h"
#include "converter/ListRunRows.h"
#include "converter/LoadFolderChoice.h"
#include "converter/PlaybackController.h"
#include "converter/gui/CLoadFolder.h"
#include "converter/gui/ConversionListView.h"
#include "converter/gui/PlaybackBar.h"
#include "converter/gui/SourceFileDialog.h"
#include "encoding/EncodeTrack.h"
#include "encoding/EncoderSetup.h"
#include "formats/OutputFormatCatalogue.h"
#include "presets/COutputQualityMgmt.h"
#include "ui/QualityPanelWidget.h"

namespace corvane {
namespace {
const char* const kSection = keys::section::kConvert;
}

CConvertPage::CConvertPage(const ConverterPageContext& context, QWidget* parent)
    : PageWidget(parent), context_(context), ui_(*context.ui), settings_(*context.settings) {
  setObjectName(QStringLiteral("convertPage"));
  capabilities_ = std::make_unique<EncoderCapabilities>();
  panel_ = std::make_unique<QualityPanel>(PanelPage::Converter, *capabilities_, settings_);
  commands_ = std::make_unique<PresetCommands>(*context_.presets, *panel_, ui_, settings_);
  list_ = std::make_unique<ConversionList>(*context_.engine, ui_, settings_);
  loader_ = std::make_unique<ConversionListLoader>(*list_);
  rows_ = std::make_unique<ListRunRows>(*list_);
  BuildLayout();
  ConnectKeys();
  commands_->FillPresetList();
  panel_widget_->Render();
  list_->SetPlaybackHooks(
      {[this] { return playback_->Controller().LoadedPath(); }, [this] { playback_->Controller().StopAll(); }});
  connect(this, &CConvertPage::outputLocationChanged, this, &CConvertPage::RunSelectionUpdate);
  if (context_.launch_mode != HandOffMode::None) {
    loader_->HandOff(context_.launch_mode, context_.launch_source);
    AfterLoading();
  }
}

CConvertPage::~CConvertPage() {
  // The widgets that hold on to the list, the panel and the presets go before those do.
  list_->SetPlaybackHooks({});
  delete list_view_;
  delete playback_;
  delete panel_widget_;
}

void CConvertPage::BuildLayout() {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildListArea(), 1);
  information_ = new QLabel(StringTable::Text(text::kAudioInformation), this);
  information_->setObjectName(QStringLiteral("informationLine"));
  layout->addWidget(information_);

  panel_widget_ = new QualityPanelWidget(*panel_, *commands_, this);
  panel_widget_->setTitle(StringTable::Text(text::kQualityGroup));
  // The list of files gets the spare height, the panel keeps what its controls need.
  panel_widget_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  layout->addWidget(panel_widget_);

  auto* outputRow = new QHBoxLayout;
  same_folder_ = new QCheckBox(StringTable::Text(text::kSameFolderBox), this);
  same_folder_->setChecked(settings_.ReadNumberOrStore(kSection, keys::kSameFolderAsOriginal, 0) != 0);
  auto* outputLabel = new QLabel(StringTable::Text(text::kOutputFolderLabel), this);
  output_folder_ = new QLineEdit(settings_.ReadTextOrStore(kSection, keys::kOutputFolder, QString()), this);
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
  settings_.ReadTextOrStore(kSection, keys::kLastSourceFolder, QString());

  // The status and the file being converted share a line; the progress bar and the start button
  // sit under it.
  auto* statusRow = new QGridLayout;
  statusRow->addWidget(new QLabel(StringTable::Text(text::kStatusLabel), this), 0, 0);
  status_line_ = new QLabel(StringTable::Text(text::kStatusIdle), this);
  status_line_->setObjectName(QStringLiteral("statusLine"));
  detail_line_ = new QLabel(this);
  detail_line_->setObjectName(QStringLiteral("detailLine"));
  detail_line_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusRow->addWidget(status_line_, 0, 1);
  statusRow->addWidget(detail_line_, 0, 2);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  statusRow->addWidget(progress_, 1, 0, 1, 3);
  start_ = new QPushButton(StringTable::Text(text::kStartConvert), this);
  start_->setObjectName(QStringLiteral("startConvert"));
  start_->setToolTip(StringTable::Text(text::kStartConvertTooltip));
  statusRow->addWidget(start_, 0, 3, 2, 1);
  statusRow->setColumnStretch(2, 1);
  layout->addLayout(statusRow);

  connect(start_, &QPushButton::clicked, this, &CConvertPage::StartOrStop);
  connect(browse_output_, &QPushButton::clicked, this, &CConvertPage::ChooseOutputFolder);
  connect(same_folder_, &QCheckBox::toggled, this, [this](bool on) {
    settings_.WriteNumber(kSection, keys::kSameFolderAsOriginal, on ? 1 : 0);
    output_folder_->setEnabled(!on);
    browse_output_->setEnabled(!on);
    emit outputLocationChanged();
  });
}

QWidget* CConvertPage::BuildListArea() {
  auto* group = new QGroupBox(StringTable::Text(text::kListGroup), this);
  auto* area = new QVBoxLayout(group);
  list_view_ = new ConversionListView(*list_, *loader_, group);
  list_view_->setObjectName(QStringLiteral("conversionList"));
  area->addWidget(list_view_, 1);
  auto* buttons = new QHBoxLayout;
  const struct {
    int label;
    int tip;
    void (CConvertPage::*action)();
  } kButtons[] = {{text::kAddFilesButton, text::kAddFilesTip, &CConvertPage::AddFiles},
                  {text::kAddFolderButton, text::kAddFolderTip, &CConvertPage::AddFolder},
                  {text::kRemoveButton, text::kRemoveSelectedTip, &CConvertPage::RemoveSelected},
                  {text::kRemoveAllButton, text::kRemoveAllTip, &CConvertPage::RemoveAll}};
  for (const auto& spec : kButtons) {
    auto* button = new QPushButton(StringTable::Text(spec.label), group);
    button->setToolTip(StringTable::Text(spec.tip));
    connect(button, &QPushButton::clicked, this, spec.action);
    buttons->addWidget(button);
    idle_only_.push_back(button);
  }
  buttons->addStretch();
  playback_ = new PlaybackBar(*context_.engine, ui_, group);
  buttons->addWidget(playback_, 2);
  area->addLayout(buttons);
  connect(list_view_, &ConversionListView::SelectionUpdateNeeded, this, &CConvertPage::RunSelectionUpdate);
  connect(list_view_, &ConversionListView::PathsDropped, this, [this] { AfterLoading(); });
  connect(list_view_, &QAbstractItemView::doubleClicked, this, [this] { PlaySelected(); });
  connect(playback_, &PlaybackBar::playRequested, this, &CConvertPage::PlaySelected);
  return group;
}

void CConvertPage::ConnectKeys() {
  // Alt+C is the start button's own mnemonic ("Start &Convert", "Stop &Convert"): a shortcut of
  // the same keys would make both ambiguous, and neither would fire.
  const struct {
    QKeySequence keys;
    void (CConvertPage::*action)();
  } kKeys[] = {{QKeySequence(Qt::ALT | Qt::Key_O), &CConvertPage::AddFiles},
               {QKeySequence(Qt::ALT | Qt::Key_A), &CConvertPage::RemoveAll},
               {QKeySequence(Qt::ALT | Qt::Key_D), &CConvertPage::ChooseOutputFolder},
               {QKeySequence(Qt::Key_F2), &CConvertPage::PlaySelected}};
  for (const auto& key : kKeys) {
    auto* shortcut = new QShortcut(key.keys, this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, key.action);
  }
}

void CConvertPage::AddFiles() {
  if (job_running_) return;
  const QStringList paths = SourceFileDialog::Choose(settings_, this);
  if (paths.isEmpty()) return;
  list_->ClearSelection();
  loader_->AddFiles(paths);
  AfterLoading();
}

void CConvertPage::AddFolder() {
  if (job_running_) return;
  CLoadFolder dialog(ui_, settings_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  list_->ClearSelection();
  loader_->AddFolder(dialog.Choice(), SameFolder() ? QString() : output_folder_->text());
  AfterLoading();
}

void CConvertPage::RemoveSelected() {
  if (job_running_) return;
  list_->RemoveSelected();
  RunSelectionUpdate();
}

void CConvertPage::RemoveAll() {
  if (job_running_) return;
  list_->RemoveAll();
  RunSelectionUpdate();
}

void CConvertPage::AfterLoading() {
  list_view_->setFocus();
  RunSelectionUpdate();
}

void CConvertPage::PlaySelected() {
  if (list_->Count() == 0) return;
  const QList<int> selected = list_->SelectedRows();
  if (selected.isEmpty()) {
    ui_.ShowMessage(StringTable::Text(text::kSelectItemFirst), MessageIcon::Information, MessageButtons::Ok);
    return;
  }
  const int row = selected.contains(list_->FocusedRow()) ? list_->FocusedRow() : selected.front();
  const ConversionRow& entry = list_->Row(row);
  if (entry.IsFolder()) {
    playback_->Controller().PlaySelected(PlaybackRowKind::Folder, entry.Text(ListColumn::FilePath));
  } else {
    playback_->Controller().PlaySelected(PlaybackRowKind::File, entry.SourcePath());
  }
}

void CConvertPage::RunSelectionUpdate() {
  const OutputTarget target{catalogue::ExtensionOf(panel_->SelectedFormat()), SameFolder(), output_folder_->text()};
  const std::optional<SelectionInfo> info = list_->UpdateSelection(target);
  if (!info) return;
  SetInformationLine(info->info_line);
  if (info->row < 0) {
    playback_->Controller().ShowNoSelection();
    return;
  }
  const ConversionRow& entry = list_->Row(info->row);
  if (entry.IsFolder()) {
    playback_->Controller().UpdateSelection(PlaybackRowKind::Folder, entry.Text(ListColumn::FilePath));
  } else {
    playback_->Controller().UpdateSelection(PlaybackRowKind::File, entry.SourcePath(),
                                            ParseLength(entry.Text(ListColumn::Length)));
  }
}

void CConvertPage::ReloadQualityList() {
  commands_->FillPresetList();
  panel_widget_->Render();
}

void CConvertPage::ChooseOutputFolder() {
  const QString start =
      output_folder_->text().isEmpty() ? settings_.ReadText(kSection, keys::kLastOutputFolder) : output_folder_->text();
  if (const std::optional<QString> chosen = ui_.ChooseFolder(StringTable::Text(text::kChooseOutputFolder), start)) {
    SetOutputFolderField(*chosen);
    settings_.WriteText(kSection, keys::kOutputFolder, *chosen);
  }
  emit outputLocationChanged();
}

RunServices CConvertPage::MakeRunServices() {
  RunServices services;
  services.encode = EncodeTrack;
  services.make_converter = [] { return CreateAudioConverter(); };
  services.setup_encoder = [this](IConversionComponent& converter) {
    return SetupEncoder(converter, panel_->ReadPanelSettings(), context_.presets->Mp3Encoder(), *capabilities_, ui_);
  };
  services.check_before_run = [this] { return panel_->CheckBeforeRun(ui_); };
  services.scan_folder = [](const QString& folder, int type, bool subFolders, QStringList& found, const QString& skip,
                            QStringList* unreadable) {
    return ScanFolder(folder, type, subFolders, nullptr, found, skip, unreadable).value.value_or(0);
  };
  return services;
}

void CConvertPage::StartOrStop() {
  if (job_running_) {
    if (run_) run_->RequestStop();
    return;
  }
  run_ = std::make_unique<ConversionRun>(*rows_, *this, ui_, settings_, MakeRunServices());
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

void CConvertPage::SetDetailLine(const QString& text) {
  detail_line_->setText(text);
  // A narrow window shows the start of a long line; the whole of it is a hover away.
  detail_line_->setToolTip(text);
}

void CConvertPage::SetRunning(bool running) {
  job_running_ = running;
  list_->SetRunning(running);
  start_->setText(StringTable::Text(running ? text::kStopConvert : text::kStartConvert));
  for (QWidget* widget : idle_only_) widget->setEnabled(!running);
  if (running) information_->clear();
  if (!running) emit outputLocationChanged();
}

void CConvertPage::SetProgress(int percent) { progress_->setValue(percent); }

void CConvertPage::SetOutputFolderField(const QString& folder) { output_folder_->setText(folder); }

void CConvertPage::OpenAddFiles() { AddFiles(); }

}  // namespace corvane
