#pragma once
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "converter/ConversionRun.h"
#include "converter/ConverterPageContext.h"
#include "formats/EncoderCapabilities.h"
#include "formats/PresetCommands.h"
#include "formats/QualityPanel.h"
#include "ui/PageWidget.h"

namespace corvane {

class QualityPanelWidget;

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

  // The rows the run works on; given by the conversion list.
  void SetRows(IRunRows* rows) { rows_ = rows; }
  // What "Add files" does when the run finds the list empty.
  void SetAddFilesAction(std::function<void()> action) { add_files_ = std::move(action); }
  // The add/remove buttons and the list, enabled when idle.
  void AddIdleOnlyWidget(QWidget* widget) { idle_only_.push_back(widget); }
  // Area above the quality panel where the list and its buttons go.
  QVBoxLayout* ListArea() const { return list_area_; }
  QualityPanel& Panel() { return *panel_; }
  ConversionRun* Run() const { return run_.get(); }
  QPushButton* StartButton() const { return start_; }
  QCheckBox* SameFolderBox() const { return same_folder_; }
  QLineEdit* OutputFolderField() const { return output_folder_; }
  QString StatusLine() const { return status_line_->text(); }
  QString DetailLine() const { return detail_line_->text(); }
  void SetInformationLine(const QString& text) { information_->setText(text); }
  // The running job's progress bar, 0..100.
  void SetProgress(int percent);
  // How the run finds the files of a folder row.
  void SetFolderScanner(std::function<int(const QString&, int, bool, QStringList&, const QString&)> scan) {
    scan_folder_ = std::move(scan);
  }

  // Start when idle, stop request when running (the button and Alt+C).
  void StartOrStop();
  void ChooseOutputFolder();

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
  RunServices MakeRunServices();

  ConverterPageContext context_;
  IUserInterface& ui_;
  std::unique_ptr<EncoderCapabilities> capabilities_;
  std::unique_ptr<QualityPanel> panel_;
  std::unique_ptr<PresetCommands> commands_;
  QualityPanelWidget* panel_widget_ = nullptr;
  std::unique_ptr<ConversionRun> run_;
  IRunRows* rows_ = nullptr;
  std::function<void()> add_files_;
  std::function<int(const QString&, int, bool, QStringList&, const QString&)> scan_folder_;
  std::vector<QWidget*> idle_only_;
  QVBoxLayout* list_area_ = nullptr;
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
