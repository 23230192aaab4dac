#include "ripper/gui/CRipperPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
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

#include "common/ColumnSpec.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "encoding/EncoderSetup.h"
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
#include "tags/Id3Genres.h"
#include "ui/CheckListView.h"
#include "ui/InformationPopup.h"
#include "ui/QualityPanelWidget.h"

namespace corvane {
namespace {

constexpr int kTitleColumn = 2;
constexpr int kLengthColumn = 3;
constexpr int kStatusColumn = 4;
constexpr int kSliderTicks = 10;
constexpr int kYearChars = 6;

QString Text(int id) { return StringTable::Text(id); }

}  // namespace

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

void CRipperPage::BuildLayout() {
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(BuildDeviceRow());
  layout->addLayout(BuildDiscFields());

  track_list_ = new CheckListView(this);
  track_list_->setObjectName(QStringLiteral("trackList"));
  track_list_->SetColumns(ParseColumnSpec(Text(text::kTrackListColumns)), kTitleColumn);
  layout->addWidget(track_list_, 1);
  layout->addLayout(BuildPlaybackRow());

  auto* statusRow = new QHBoxLayout;
  status_label_ = new QLabel(this);
  status_label_->setObjectName(QStringLiteral("ripStatus"));
  statusRow->addWidget(status_label_, 1);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ripProgress"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  statusRow->addWidget(progress_, 1);
  rip_button_ = new QPushButton(Text(text::kRipStartButton), this);
  rip_button_->setObjectName(QStringLiteral("ripButton"));
  rip_button_->setToolTip(Text(text::kRipStartTooltip));
  connect(rip_button_, &QPushButton::clicked, this, [this] { StartOrStopRip(); });
  statusRow->addWidget(rip_button_);
  layout->addLayout(statusRow);
  layout->addLayout(BuildOutputFields());

  panel_widget_ = new QualityPanelWidget(*panel_, *commands_, this);
  panel_widget_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  layout->addWidget(panel_widget_);

  connect(track_list_, &QTreeWidget::itemSelectionChanged, this,
          [this] { controller_->Playback().SelectionChanged(); });
}

QLayout* CRipperPage::BuildDeviceRow() {
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(Text(text::kDeviceLabel), this);
  device_box_ = new QComboBox(this);
  device_box_->setObjectName(QStringLiteral("deviceBox"));
  device_box_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  label->setBuddy(device_box_);
  open_image_button_ = new QPushButton(Text(text::kOpenDiscImageButton), this);
  open_image_button_->setObjectName(QStringLiteral("openDiscImage"));
  load_button_ = new QPushButton(Text(text::kLoadDiscButton), this);
  load_button_->setObjectName(QStringLiteral("loadDisc"));
  auto_load_ = new QCheckBox(Text(text::kAutoLoadBox), this);
  auto_load_->setObjectName(QStringLiteral("autoLoad"));
  eject_button_ = new QPushButton(style()->standardIcon(QStyle::SP_DriveCDIcon), Text(text::kEjectButton), this);
  eject_button_->setObjectName(QStringLiteral("ejectDisc"));
  // The insert command has no place on the page; only the tray's own key reaches it.
  insert_button_ = new QPushButton(this);
  insert_button_->setObjectName(QStringLiteral("insertDisc"));
  insert_button_->hide();
  row->addWidget(label);
  row->addWidget(device_box_, 1);
  row->addWidget(open_image_button_);
  row->addWidget(load_button_);
  row->addWidget(auto_load_);
  row->addWidget(eject_button_);

  connect(device_box_, &QComboBox::activated, this, [this](int index) { controller_->DriveEntryChanged(index); });
  connect(open_image_button_, &QPushButton::clicked, this, &CRipperPage::ChooseDiscImage);
  connect(load_button_, &QPushButton::clicked, this, [this] { controller_->LoadDisc(); });
  connect(auto_load_, &QCheckBox::clicked, this, [this](bool on) { controller_->SetAutoLoad(on); });
  connect(eject_button_, &QPushButton::clicked, this, [this] { controller_->EjectOrInsert(); });
  connect(insert_button_, &QPushButton::clicked, this, [this] { controller_->InsertDisc(); });
  return row;
}

QLayout* CRipperPage::BuildDiscFields() {
  auto* grid = new QGridLayout;
  artist_ = new QLineEdit(this);
  artist_->setObjectName(QStringLiteral("artistField"));
  album_ = new QLineEdit(this);
  album_->setObjectName(QStringLiteral("albumField"));
  year_ = new QLineEdit(this);
  year_->setObjectName(QStringLiteral("yearField"));
  year_->setMaximumWidth(year_->fontMetrics().averageCharWidth() * kYearChars + 16);
  genre_ = new QComboBox(this);
  genre_->setObjectName(QStringLiteral("genreBox"));
  const struct {
    int label;
    QWidget* field;
    int column;
    int row;
  } kFields[] = {{text::kArtistLabel, artist_, 0, 0},
                 {text::kAlbumLabel, album_, 2, 0},
                 {text::kYearLabel, year_, 0, 1},
                 {text::kGenreLabel, genre_, 2, 1}};
  for (const auto& field : kFields) {
    auto* label = new QLabel(Text(field.label), this);
    label->setBuddy(field.field);
    grid->addWidget(label, field.row, field.column);
    // Artist and album take the width they are given; year and genre keep their own.
    grid->addWidget(field.field, field.row, field.column + 1, field.row == 0 ? Qt::Alignment() : Qt::AlignLeft);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  return grid;
}

QLayout* CRipperPage::BuildPlaybackRow() {
  auto* row = new QHBoxLayout;
  play_button_ = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), Text(text::kTrackPlay), this);
  play_button_->setObjectName(QStringLiteral("playTrack"));
  play_button_->setToolTip(Text(text::kPlayTrackTooltip));
  previous_button_ = new QPushButton(style()->standardIcon(QStyle::SP_MediaSkipBackward), QString(), this);
  previous_button_->setObjectName(QStringLiteral("previousTrack"));
  previous_button_->setToolTip(Text(text::kPreviousTrackTooltip));
  next_button_ = new QPushButton(style()->standardIcon(QStyle::SP_MediaSkipForward), QString(), this);
  next_button_->setObjectName(QStringLiteral("nextTrack"));
  next_button_->setToolTip(Text(text::kNextTrackTooltip));
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName(QStringLiteral("trackSlider"));
  slider_->setRange(0, 100);
  slider_->setTickInterval(kSliderTicks);
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setPageStep(kSliderTicks);
  position_ = new QLabel(this);
  position_->setObjectName(QStringLiteral("trackPosition"));
  position_->setMinimumWidth(position_->fontMetrics().horizontalAdvance(QStringLiteral("[# 00]  000:00")));
  freedb_button_ = new QPushButton(Text(text::kFreedbButton), this);
  freedb_button_->setObjectName(QStringLiteral("freedbButton"));
  row->addWidget(play_button_);
  row->addWidget(previous_button_);
  row->addWidget(next_button_);
  row->addWidget(slider_, 1);
  row->addWidget(position_);
  row->addWidget(freedb_button_);

  TrackPlayback& playback = controller_->Playback();
  connect(play_button_, &QPushButton::clicked, this, [&playback] { playback.PlayButton(); });
  connect(previous_button_, &QPushButton::clicked, this, [&playback] { playback.Previous(); });
  connect(next_button_, &QPushButton::clicked, this, [&playback] { playback.Next(); });
  connect(freedb_button_, &QPushButton::clicked, this, [this] { controller_->StartFreedbQuery(); });
  // A drag moves the thumb only; its end (the release, or a click beside the thumb) seeks.
  connect(slider_, &QSlider::sliderPressed, this, [this, &playback] { playback.SliderMoved(slider_->value(), false); });
  connect(slider_, &QSlider::sliderMoved, this, [&playback](int value) { playback.SliderMoved(value, false); });
  connect(slider_, &QSlider::sliderReleased, this, [this, &playback] { playback.SliderMoved(slider_->value(), true); });
  connect(slider_, &QSlider::actionTriggered, this, [this, &playback](int action) {
    if (action == QAbstractSlider::SliderMove || action == QAbstractSlider::SliderNoAction) return;
    playback.SliderMoved(slider_->sliderPosition(), true);
  });
  return row;
}

QLayout* CRipperPage::BuildOutputFields() {
  auto* grid = new QGridLayout;
  output_folder_ = new QLineEdit(this);
  output_folder_->setObjectName(QStringLiteral("outputFolder"));
  browse_output_ = new QPushButton(Text(text::kRipFolderBrowse), this);
  browse_output_->setObjectName(QStringLiteral("browseOutputFolder"));
  browse_output_->setToolTip(Text(text::kRipFolderTooltip));
  output_name_ = new QLineEdit(this);
  output_name_->setObjectName(QStringLiteral("outputName"));
  name_tips_ = new QPushButton(Text(text::kOutputNameTipsButton), this);
  name_tips_->setObjectName(QStringLiteral("outputNameTips"));
  auto* folderLabel = new QLabel(Text(text::kRipFolderLabel), this);
  folderLabel->setBuddy(output_folder_);
  auto* nameLabel = new QLabel(Text(text::kOutputNameLabel), this);
  nameLabel->setBuddy(output_name_);
  grid->addWidget(folderLabel, 0, 0);
  grid->addWidget(output_folder_, 0, 1);
  grid->addWidget(browse_output_, 0, 2);
  grid->addWidget(nameLabel, 1, 0);
  grid->addWidget(output_name_, 1, 1);
  grid->addWidget(name_tips_, 1, 2);
  grid->setColumnStretch(1, 1);

  // Both fields are stored as they change, so nothing typed is lost when the window closes.
  connect(output_folder_, &QLineEdit::textEdited, this,
          [this](const QString& folder) { output_fields_->StoreOutputFolder(folder); });
  connect(output_name_, &QLineEdit::textChanged, this,
          [this](const QString& pattern) { output_fields_->StoreOutputName(pattern); });
  connect(browse_output_, &QPushButton::clicked, this, [this] {
    if (const std::optional<QString> folder = output_fields_->Browse(output_folder_->text()))
      output_folder_->setText(*folder);
  });
  connect(name_tips_, &QPushButton::clicked, this, [this] { output_fields_->ShowTips(); });
  return grid;
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
}

void CRipperPage::SelectDriveEntry(int index) {
  const QSignalBlocker blocker(device_box_);
  device_box_->setCurrentIndex(index);
}

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
  for (QWidget* control :
       std::initializer_list<QWidget*>{load_button_, freedb_button_, device_box_, track_list_, play_button_, auto_load_,
                                       eject_button_, insert_button_, artist_, album_, genre_, year_}) {
    control->setEnabled(enabled);
  }
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
  services.setup_encoder = [this, &ui](IConversionComponent& encoder) {
    return SetupEncoder(encoder, panel_->ReadPanelSettings(), context_.presets->Mp3Encoder(), *capabilities_, ui);
  };
  services.stop_playback = [this] { controller_->Playback().Stop(); };
  services.open_rip_settings = [this] {
    CRipSettings(*context_.ui, *context_.settings, this, CurrentDriveIdentifier()).exec();
  };
  rip_run_ = std::make_unique<RipRun>(static_cast<IRipperView&>(*this), ui, *context_.settings,
                                      controller_->Components().Grabber(), std::move(services));
  controller_->SetGrabEvents([this](double percent) { rip_run_->OnGrabProgress(percent); },
                             [this](int attempts) { rip_run_->OnReadRetries(attempts); });
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
  start.genre = genre_->currentIndex() > 0 ? genre_->currentText() : QString();
  start.keep_tags = panel_->State().keep_tags_checked;
  start.program_folder = QCoreApplication::applicationDirPath();
  rip_run_->Run(start);
}

}  // namespace corvane
