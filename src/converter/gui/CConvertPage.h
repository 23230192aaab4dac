#pragma once
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <memory>

#include "converter/ConversionRun.h"
#include "converter/ConverterPageContext.h"
#include "formats/EncoderCapabilities.h"
#include "formats/QualityPanel.h"
#include "presets/PresetCommands.h"
#include "ui/PageWidget.h"

namespace corvane {

class ConversionList;
class ConversionListLoader;
class ConversionListView;
class ListRunRows;
class PlaybackBar;
class QualityPanelWidget;
class SettingsStore;

// The "Audio Convert" page: the conversion list with its buttons and playback bar, the quality
// panel, the output folder and the run's button and lines. The page binds controls to the logic
// classes; it decides nothing itself.
class CConvertPage : public PageWidget, public IRunView {
  Q_OBJECT
 public:
  explicit CConvertPage(const ConverterPageContext& context, QWidget* parent = nullptr);
  ~CConvertPage() override;

  bool JobRunning() const override { return job_running_; }
  // Lets a test mark the page busy without a run.
  void SetJobRunning(bool running) { job_running_ = running; }

  // Refills the preset list after the other page changed the presets.
  void ReloadQualityList();
  void SetOtherPageRebuild(std::function<void()> rebuild) { commands_->SetOtherPageRebuild(std::move(rebuild)); }

  ConversionList& List() { return *list_; }
  ConversionListView* ListView() const { return list_view_; }
  PlaybackBar* Playback() const { return playback_; }
  ConversionRun* Run() const { return run_.get(); }
  QPushButton* StartButton() const { return start_; }
  QCheckBox* SameFolderBox() const { return same_folder_; }
  QLineEdit* OutputFolderField() const { return output_folder_; }
  QString StatusLine() const { return status_line_->text(); }
  QString DetailLine() const { return detail_line_->text(); }
  void SetInformationLine(const QString& text) { information_->setText(text); }
  // The running job's progress bar, 0..100.
  void SetProgress(int percent);

  // Start when idle, stop request when running (the button and Alt+C).
  void StartOrStop();
  void ChooseOutputFolder();
  void AddFiles();
  void AddFolder();
  void RemoveSelected();
  void RemoveAll();
  // Plays (or stops) the selected file row, or opens the selected folder row (button, F2,
  // double-click).
  void PlaySelected();
  // The "Audio Information - " line, the status bar's output location and the play controls.
  void RunSelectionUpdate();

  // IRunView
  bool KeepTags() const override;
  bool NormalizeEnabled() const override;
  int NormalizeValue() const override;
  void SetNormalizeValue(int percent) override;
  void SetStatusLine(const QString& text) override;
  bool SameFolder() const override;
  void SetDetailLine(const QString& text) override;
  void SetRunning(bool running) override;
  void SetOutputFolderField(const QString& folder) override;
  void OpenAddFiles() override;

 signals:
  // The output location shown for the selected row may have changed.
  void outputLocationChanged();

 private:
  void BuildLayout();
  QWidget* BuildListArea();
  void ConnectKeys();
  void AfterLoading();
  RunServices MakeRunServices();

  ConverterPageContext context_;
  IUserInterface& ui_;
  SettingsStore& settings_;
  std::unique_ptr<EncoderCapabilities> capabilities_;
  std::unique_ptr<QualityPanel> panel_;
  std::unique_ptr<PresetCommands> commands_;
  QualityPanelWidget* panel_widget_ = nullptr;
  std::unique_ptr<ConversionRun> run_;
  std::unique_ptr<ConversionList> list_;
  std::unique_ptr<ConversionListLoader> loader_;
  std::unique_ptr<ListRunRows> rows_;
  ConversionListView* list_view_ = nullptr;
  PlaybackBar* playback_ = nullptr;
  std::vector<QWidget*> idle_only_;
  QLabel* information_ = nullptr;
  QCheckBox* same_folder_ = nullptr;
  QLineEdit* output_folder_ = nullptr;
  QPushButton* browse_output_ = nullptr;
  QPushButton* start_ = nullptr;
  QLabel* status_line_ = nullptr;
  QLabel* detail_line_ = nullptr;
  QProgressBar* progress_ = nullptr;
  bool job_running_ = false;
};

}  // namespace corvane
