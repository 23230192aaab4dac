// The ripper page's controls and their layout.
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
#include "ripper/gui/CRipperPageParts.h"
#include "tags/Id3Genres.h"
#include "ui/CheckListView.h"
#include "ui/InformationPopup.h"
#include "ui/QualityPanelWidget.h"

namespace corvane {
using namespace ripper_page;

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
  // Shown while the list is empty: without a drive, an image is the way in.
  device_box_->setPlaceholderText(Text(text::kNoDrivePlaceholder));
  open_image_button_ = new QPushButton(Text(text::kOpenDiscImageButton), this);
  open_image_button_->setObjectName(QStringLiteral("openDiscImage"));
  remove_image_button_ = new QPushButton(Text(text::kRemoveDiscImageButton), this);
  remove_image_button_->setObjectName(QStringLiteral("removeDiscImage"));
  remove_image_button_->setEnabled(false);
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
  row->addWidget(remove_image_button_);
  row->addWidget(load_button_);
  row->addWidget(auto_load_);
  row->addWidget(eject_button_);

  connect(device_box_, &QComboBox::activated, this, [this](int index) {
    UpdateRemoveImage();
    controller_->DriveEntryChanged(index);
  });
  connect(remove_image_button_, &QPushButton::clicked, this,
          [this] { controller_->RemoveDiscImage(device_box_->currentIndex()); });
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

}  // namespace corvane
