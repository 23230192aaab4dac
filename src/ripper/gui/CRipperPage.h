#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "ripper/RipperPageContext.h"
#include "ripper/RipperView.h"
#include "ui/PageWidget.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QShortcut;
class QSlider;

namespace corvane {

class CheckListView;
class EncoderCapabilities;
class IFreedbClient;
class PresetCommands;
class QualityPanel;
class QualityPanelWidget;
class RipOutputFields;
class RipRun;
class RipperController;

// The "CD Ripper" page: the device box with its buttons, the disc's fields, the track list, the
// playback controls and the quality panel. The page binds its controls to RipperController and
// its playback; it decides nothing itself.
class CRipperPage : public PageWidget, private IRipperView {
  Q_OBJECT
 public:
  explicit CRipperPage(const RipperPageContext& context, QWidget* parent = nullptr);
  ~CRipperPage() override;

  bool JobRunning() const override { return job_running_; }
  void SetJobRunning(bool running) { job_running_ = running; }
  // The page's freedb client component; nullptr until the drives were initialised.
  IFreedbClient* FreedbClient() const { return freedb_client_; }
  // The identifier of the drive chosen in the device box; empty for a disc image or no drive.
  QString CurrentDriveIdentifier() const;

  // Refills the preset list after the other page changed the presets.
  void ReloadQualityList();
  void SetOtherPageRebuild(std::function<void()> rebuild);
  // Asks for a disc image file and opens it as a drive.
  void ChooseDiscImage();

  RipperController& Controller() { return *controller_; }
  QComboBox* DeviceBox() const { return device_box_; }
  CheckListView* TrackList() const { return track_list_; }
  QPushButton* LoadButton() const { return load_button_; }
  QPushButton* EjectButton() const { return eject_button_; }
  QPushButton* OpenImageButton() const { return open_image_button_; }
  QPushButton* RemoveImageButton() const { return remove_image_button_; }
  QWidget* QualityPanelView() const;
  QPushButton* PlayButton() const { return play_button_; }
  QPushButton* PreviousButton() const { return previous_button_; }
  QPushButton* NextButton() const { return next_button_; }
  QPushButton* FreedbButton() const { return freedb_button_; }
  QPushButton* RipButton() const { return rip_button_; }
  // What opens the "FreeDB Settings" dialog after a look-up found nothing or failed; the dialog
  // itself unless a test puts something else in its place.
  void SetFreedbSettingsOpener(std::function<void()> opener) { freedb_settings_opener_ = std::move(opener); }
  QCheckBox* AutoLoadBox() const { return auto_load_; }
  QSlider* Slider() const { return slider_; }
  QLabel* PositionLabel() const { return position_; }
  QLabel* StatusLabel() const { return status_label_; }
  QProgressBar* ProgressBar() const { return progress_; }
  // The running rip's progress bar, 0..100.
  void SetProgress(int percent);
  QLineEdit* ArtistField() const { return artist_; }
  QLineEdit* AlbumField() const { return album_; }
  QLineEdit* YearField() const { return year_; }
  QLineEdit* OutputFolderField() const { return output_folder_; }
  QLineEdit* OutputNameField() const { return output_name_; }
  QPushButton* BrowseOutputButton() const { return browse_output_; }
  QComboBox* GenreBox() const { return genre_; }

 private:
  void showEvent(QShowEvent* event) override;
  // Alt+R belongs to the rip button although the quality panel's "&Remove" has the same letter.
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void BuildLayout();
  QLayout* BuildDeviceRow();
  QLayout* BuildDiscFields();
  QLayout* BuildPlaybackRow();
  QLayout* BuildOutputFields();
  void ConnectKeys();
  // "Remove disc image" is offered for an image only.
  void UpdateRemoveImage();
  void FillControls();

  // IRipperView
  void SetDriveEntries(const QStringList& entries) override;
  void SelectDriveEntry(int index) override;
  int DriveEntryIndex() const override;
  void SetDriveControlsEnabled(bool enabled) override;
  void ClearRows() override;
  void AddRow(const TrackRowTexts& row) override;
  int RowCount() const override;
  QString RowLength(int row) const override;
  int FirstSelectedRow() const override;
  void FocusRow(int row) override;
  void SetStepButtonsEnabled(bool enabled) override;
  void SetFreedbEnabled(bool enabled) override;
  void SetDiscFields(const QString& artist, const QString& album, const QString& year, int genreEntry) override;
  void OpenFreedbSettings() override;
  bool ShowFreedbTips(const QString& text) override;
  void SetPlayButtonText(const QString& text) override;
  void SetSliderValue(int value) override;
  int SliderValue() const override;
  void SetPositionText(const QString& text) override;
  bool RowChecked(int row) const override;
  QString RowTitle(int row) const override;
  void SetRowStatus(int row, const QString& status) override;
  void SetRowStatusDetail(int row, const QString& detail) override;
  void SetRipLabel(const QString& text) override;
  void SetRipButton(const QString& text, const QString& tooltip, bool enabled) override;
  void SetRipControlsEnabled(bool enabled) override;
  void SetOutputFolderField(const QString& folder) override;
  // "Start &Rip" / "Stop &Rip".
  void StartOrStopRip();

  RipperPageContext context_;
  std::unique_ptr<EncoderCapabilities> capabilities_;
  std::unique_ptr<QualityPanel> panel_;
  std::unique_ptr<PresetCommands> commands_;
  std::unique_ptr<RipperController> controller_;
  std::unique_ptr<RipOutputFields> output_fields_;
  std::unique_ptr<RipRun> rip_run_;
  QPushButton* rip_button_ = nullptr;
  QualityPanelWidget* panel_widget_ = nullptr;
  QComboBox* device_box_ = nullptr;
  QPushButton* open_image_button_ = nullptr;
  QPushButton* remove_image_button_ = nullptr;
  QPushButton* load_button_ = nullptr;
  QCheckBox* auto_load_ = nullptr;
  QPushButton* eject_button_ = nullptr;
  QPushButton* insert_button_ = nullptr;
  QLineEdit* artist_ = nullptr;
  QLineEdit* album_ = nullptr;
  QLineEdit* year_ = nullptr;
  QLineEdit* output_folder_ = nullptr;
  QPushButton* browse_output_ = nullptr;
  QLineEdit* output_name_ = nullptr;
  QPushButton* name_tips_ = nullptr;
  QComboBox* genre_ = nullptr;
  CheckListView* track_list_ = nullptr;
  QPushButton* play_button_ = nullptr;
  QPushButton* previous_button_ = nullptr;
  QPushButton* next_button_ = nullptr;
  QSlider* slider_ = nullptr;
  QLabel* position_ = nullptr;
  QPushButton* freedb_button_ = nullptr;
  std::vector<QShortcut*> play_keys_;  // F2, F3, F4
  QLabel* status_label_ = nullptr;
  QProgressBar* progress_ = nullptr;
  bool job_running_ = false;
  IFreedbClient* freedb_client_ = nullptr;
  std::function<void()> freedb_settings_opener_;
};

}  // namespace corvane
