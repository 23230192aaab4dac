#include "ripper/gui/CRipperPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "common/ColumnSpec.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "engine/CAudioEngine.h"
#include "formats/EncoderCapabilities.h"
#include "formats/QualityPanel.h"
#include "presets/COutputQualityMgmt.h"
#include "presets/PresetCommands.h"
#include "ripper/DiscImageSetting.h"
#include "ripper/RipOutputFields.h"
#include "ripper/RipRun.h"
#include "ripper/RipperController.h"
#include "ripper/gui/CFreeDBSettings.h"
#include "ripper/gui/CRipSettings.h"
#include "ripper/gui/CRipperPageParts.h"
#include "tags/Id3Genres.h"
#include "ui/CheckListView.h"
#include "ui/InformationPopup.h"
#include "ui/QualityPanelWidget.h"

namespace corvane {
using namespace ripper_page;

CRipperPage::CRipperPage(const RipperPageContext& context, QWidget* parent) : PageWidget(parent), context_(context) {
  setObjectName(QStringLiteral("ripperPage"));
  // Where the sound driver opens one output device only, the player plays through the engine's.
  if (const CAudioEngine* engine = context_.engine) {
    context_.factories.player = [engine] { return CreateAudioPlayer2(engine->OutputDevice()); };
  }
  capabilities_ = std::make_unique<EncoderCapabilities>();
  panel_ = std::make_unique<QualityPanel>(PanelPage::Ripper, *capabilities_, *context_.settings);
  commands_ = std::make_unique<PresetCommands>(*context_.presets, *panel_, *context_.ui, *context_.settings);
  controller_ = std::make_unique<RipperController>(*context_.settings, *context_.ui, static_cast<IRipperView&>(*this),
                                                   context_.factories);
  controller_->SetComponentsChanged([this] { freedb_client_ = controller_->Components().FreedbClient(); });
  output_fields_ = std::make_unique<RipOutputFields>(*context_.settings, *context_.ui);
  BuildLayout();
  ConnectKeys();
  controller_->InitialisePage([this] { FillControls(); });
  {
    // The page's own reads above wrote the defaults; the fields show them without storing again.
    const QSignalBlocker folderBlocker(output_folder_);
    const QSignalBlocker nameBlocker(output_name_);
    output_folder_->setText(output_fields_->OutputFolder());
    output_name_->setText(output_fields_->OutputName());
  }
  const QSignalBlocker blocker(auto_load_);
  auto_load_->setChecked(controller_->AutoLoad());
  status_label_->setText(Text(text::kRipperIdle));
  if (auto* presets = panel_widget_->findChild<QListWidget*>()) presets->setFocus();
}

CRipperPage::~CRipperPage() {
  // The controller stops playback and reports to the controls while it goes; they go after it.
  controller_.reset();
  delete panel_widget_;
}

void CRipperPage::showEvent(QShowEvent* event) {
  PageWidget::showEvent(event);
  // The popup of the load at start-up comes up once the page is on the screen.
  if (controller_->TipsPending()) QTimer::singleShot(0, this, [this] { controller_->ShowPendingTips(); });
}

namespace {
bool IsRipKey(const QKeyEvent& key) { return key.key() == Qt::Key_R && key.modifiers() == Qt::AltModifier; }
}  // namespace

bool CRipperPage::event(QEvent* event) {
  // Claimed before shortcut matching, the key reaches keyPressEvent instead of the ambiguous
  // mnemonics.
  if (event->type() == QEvent::ShortcutOverride && IsRipKey(*static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return PageWidget::event(event);
}

void CRipperPage::keyPressEvent(QKeyEvent* event) {
  if (IsRipKey(*event)) {
    event->accept();
    if (rip_button_->isEnabled()) rip_button_->click();
    return;
  }
  PageWidget::keyPressEvent(event);
}

void CRipperPage::ConnectKeys() {
  TrackPlayback& playback = controller_->Playback();
  const struct {
    QKeySequence key;
    std::function<void()> action;
  } kKeys[] = {{QKeySequence(Qt::Key_F2), [&playback] { playback.PlayButton(); }},
               {QKeySequence(Qt::Key_F3), [&playback] { playback.Previous(); }},
               {QKeySequence(Qt::Key_F4), [&playback] { playback.Next(); }},
               {QKeySequence(Qt::ALT | Qt::Key_D), [this] { browse_output_->click(); }}};
  for (const auto& key : kKeys) {
    auto* shortcut = new QShortcut(key.key, this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, key.action);
    if (key.key != QKeySequence(Qt::ALT | Qt::Key_D)) play_keys_.push_back(shortcut);
  }
}

void CRipperPage::FillControls() {
  commands_->FillPresetList();
  panel_widget_->Render();
  genre_->clear();
  genre_->addItem(QString());
  for (int i = 0; i < Id3Genres::kCount; ++i) genre_->addItem(Id3Genres::Name(i));
}

void CRipperPage::ReloadQualityList() {
  commands_->FillPresetList();
  panel_widget_->Render();
}

void CRipperPage::SetOtherPageRebuild(std::function<void()> rebuild) {
  commands_->SetOtherPageRebuild(std::move(rebuild));
}

void CRipperPage::ChooseDiscImage() {
  if (controller_->Busy() || job_running_) return;
  const QStringList known = disc_images::Read(*context_.settings);
  const QString start = known.isEmpty() ? QString() : QFileInfo(known.back()).absolutePath();
  const QString path =
      QFileDialog::getOpenFileName(this, Text(text::kOpenDiscImageCaption), start, Text(text::kDiscImageFilter));
  if (!path.isEmpty()) controller_->OpenDiscImage(path);
}

void CRipperPage::SetDriveEntries(const QStringList& entries) {
  const QSignalBlocker blocker(device_box_);
  device_box_->clear();
  device_box_->addItems(entries);
  // Each entry's device or file in full, for entries that show a file name only.
  const std::vector<DriveChoice>& drives = controller_->Drives();
  for (int i = 0; i < device_box_->count() && i < static_cast<int>(drives.size()); ++i)
    device_box_->setItemData(i, QDir::toNativeSeparators(drives[i].path), Qt::ToolTipRole);
  UpdateRemoveImage();
}

void CRipperPage::SelectDriveEntry(int index) {
  const QSignalBlocker blocker(device_box_);
  device_box_->setCurrentIndex(index);
  UpdateRemoveImage();
}

void CRipperPage::UpdateRemoveImage() {
  const int index = device_box_->currentIndex();
  const std::vector<DriveChoice>& drives = controller_->Drives();
  const bool image = index >= 0 && index < static_cast<int>(drives.size()) && drives[index].image;
  remove_image_button_->setEnabled(image && !job_running_);
  device_box_->setToolTip(image ? QDir::toNativeSeparators(drives[index].path) : QString());
}

QWidget* CRipperPage::QualityPanelView() const { return panel_widget_; }

int CRipperPage::DriveEntryIndex() const { return device_box_->currentIndex(); }

void CRipperPage::SetDriveControlsEnabled(bool enabled) {
  device_box_->setEnabled(enabled);
  track_list_->setEnabled(enabled);
}

void CRipperPage::ClearRows() { track_list_->clear(); }

void CRipperPage::AddRow(const TrackRowTexts& row) {
  track_list_->AddRow({row.number, row.title, row.length, row.status, row.type});
}

int CRipperPage::RowCount() const { return track_list_->RowCount(); }

QString CRipperPage::RowLength(int row) const { return track_list_->Cell(row, kLengthColumn); }

int CRipperPage::FirstSelectedRow() const { return track_list_->FirstSelectedRow(); }

void CRipperPage::FocusRow(int row) {
  track_list_->setFocus();
  track_list_->SelectRow(row);
}

void CRipperPage::SetStepButtonsEnabled(bool enabled) {
  previous_button_->setEnabled(enabled);
  next_button_->setEnabled(enabled);
}

void CRipperPage::SetFreedbEnabled(bool enabled) { freedb_button_->setEnabled(enabled); }

void CRipperPage::SetDiscFields(const QString& artist, const QString& album, const QString& year, int genreEntry) {
  artist_->setText(artist);
  album_->setText(album);
  year_->setText(year);
  genre_->setCurrentIndex(genreEntry < genre_->count() ? genreEntry : 0);
}

void CRipperPage::OpenFreedbSettings() {
  if (freedb_settings_opener_) return freedb_settings_opener_();
  if (freedb_client_ == nullptr) return;
  CFreeDBSettings dialog(*context_.settings, *freedb_client_, window());
  dialog.exec();
}

bool CRipperPage::ShowFreedbTips(const QString& text) {
  return InformationPopup::Show(Text(text::kFreedbTipsCaption), text, window());
}

void CRipperPage::SetPlayButtonText(const QString& text) {
  play_button_->setText(text);
  const bool playing = text == Text(text::kTrackStop);
  play_button_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
}

void CRipperPage::SetSliderValue(int value) {
  const QSignalBlocker blocker(slider_);
  slider_->setValue(value);
}

int CRipperPage::SliderValue() const { return slider_->value(); }

void CRipperPage::SetPositionText(const QString& text) { position_->setText(text); }

bool CRipperPage::RowChecked(int row) const { return track_list_->IsChecked(row); }

QString CRipperPage::RowTitle(int row) const { return track_list_->Cell(row, kTitleColumn); }

void CRipperPage::SetRowStatus(int row, const QString& status) {
  if (QTreeWidgetItem* item = track_list_->topLevelItem(row)) item->setText(kStatusColumn, status);
}

void CRipperPage::SetRowStatusDetail(int row, const QString& detail) {
  if (QTreeWidgetItem* item = track_list_->topLevelItem(row)) item->setToolTip(kStatusColumn, detail);
}

void CRipperPage::SetRipLabel(const QString& text) { status_label_->setText(text); }

void CRipperPage::SetProgress(int percent) { progress_->setValue(percent); }

void CRipperPage::SetRipButton(const QString& text, const QString& tooltip, bool enabled) {
  rip_button_->setText(text);
  rip_button_->setToolTip(tooltip);
  rip_button_->setEnabled(enabled);
}

void CRipperPage::SetRipControlsEnabled(bool enabled) {
  job_running_ = !enabled;
  // The logic refuses every command meanwhile; the controls and keys say so.
  controller_->SetRipRunning(!enabled);
  for (QWidget* control : std::initializer_list<QWidget*>{
           load_button_, device_box_, open_image_button_, track_list_, play_button_, slider_, auto_load_, eject_button_,
           insert_button_, artist_, album_, genre_, year_, panel_widget_}) {
    control->setEnabled(enabled);
  }
  for (QShortcut* key : play_keys_) key->setEnabled(enabled);
  const bool rows = enabled && track_list_->RowCount() > 0;
  freedb_button_->setEnabled(rows);
  previous_button_->setEnabled(rows);
  next_button_->setEnabled(rows);
  UpdateRemoveImage();
}

void CRipperPage::SetOutputFolderField(const QString& folder) { output_folder_->setText(folder); }

QString CRipperPage::CurrentDriveIdentifier() const {
  const int drive = device_box_->currentIndex();
  if (!controller_ || drive < 0 || drive >= static_cast<int>(controller_->Drives().size())) return {};
  return controller_->Drives()[drive].identifier;
}

void CRipperPage::StartOrStopRip() {
  if (rip_run_ && rip_run_->Running()) {
    rip_run_->RequestStop();
    return;
  }
  if (controller_->Busy()) return;
  IUserInterface& ui = *context_.ui;
  RipRunServices services;
  services.check_before_run = [this, &ui] { return panel_->CheckBeforeRun(ui); };
  services.stop_playback = [this] { controller_->Playback().Stop(); };
  services.open_rip_settings = [this] {
    CRipSettings(*context_.ui, *context_.settings, this, CurrentDriveIdentifier()).exec();
  };
  rip_run_ = std::make_unique<RipRun>(static_cast<IRipperView&>(*this), ui, *context_.settings,
                                      controller_->Components().Grabber(), context_.presets->Mp3Encoder(),
                                      std::move(services));
  RipRunStart start;
  const int drive = device_box_->currentIndex();
  if (drive >= 0 && drive < static_cast<int>(controller_->Drives().size()))
    start.device = controller_->Drives()[drive].path;
  start.output_folder_field = output_folder_->text();
  start.output_name = output_fields_->OutputName();
  start.settings = panel_->ReadPanelSettings();
  start.artist = artist_->text();
  start.album = album_->text();
  start.year = year_->text();
  start.genre_entry = std::max(0, genre_->currentIndex());
  start.keep_tags = panel_->State().keep_tags_checked;
  start.program_folder = QCoreApplication::applicationDirPath();
  rip_run_->Run(start);
}

}  // namespace corvane
