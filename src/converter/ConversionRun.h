#pragma once
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

#include "converter/FileConversion.h"

namespace corvane {

class IConversionComponent;
class SettingsStore;

// The rows of the conversion list as the run sees them.
class IRunRows {
 public:
  struct Row {
    bool folder = false;
    QString name;         // column "File/Folder Name"
    QString folder_path;  // column "File Path": the file's folder, or the folder row's folder
    int input_type = 0;   // folder rows: the input type to look for
    bool sub_folders = false;
  };
  virtual ~IRunRows() = default;
  virtual int Count() const = 0;
  virtual Row RowAt(int index) const = 0;
  virtual void SetStatus(int index, const QString& status) = 0;
  virtual void SetFileCount(int index, int count) = 0;
  virtual void SelectOnly(int index) = 0;
};

// The page as the run sees it: its per-file options, its lines and its running state.
class IRunView : public IFileOptions {
 public:
  // "Same folder as original", read again for every row.
  virtual bool SameFolder() const = 0;
  // The page's detail line, detail_line_, below the status line.
  virtual void SetDetailLine(const QString& text) = 0;
  // Running: the button stops, adding and removing are disabled; idle: the reverse.
  virtual void SetRunning(bool running) = 0;
  virtual void SetOutputFolderField(const QString& folder) = 0;
  // An empty list opens the add-files dialog instead of a run.
  virtual void OpenAddFiles() = 0;
};

// What a run depends on, so that the windowed page, corvane-cli and tests can each supply it.
struct RunServices {
  EncodeFunction encode;
  std::function<std::unique_ptr<IConversionComponent>()> make_converter;
  // The encoder set-up on the run's component; false stops the run (the user was told).
  std::function<bool(IConversionComponent&)> setup_encoder;
  // The checks made before a run (a WMA quality or bitrate chosen); false: no run.
  std::function<bool()> check_before_run;
  // Finds the files of a folder row: (folder, input type, sub-folders, found paths, folder to
  // leave out, names that are not valid UTF-8) -> count.
  std::function<int(const QString&, int, bool, QStringList&, const QString&, QStringList*)> scan_folder;
};

// One conversion run over every row of the list, as started by "Start Convert".
class ConversionRun {
 public:
  struct Counts {
    int succeeded = 0;
    QStringList failed;
  };

  ConversionRun(IRunRows& rows, IRunView& view, IUserInterface& ui, SettingsStore& settings, RunServices services);

  // The whole run: checks, output folder, the loop over the rows, the summary. The output folder
  // field, output settings and program folder are taken as they are when it starts.
  void Run(const QString& outputFolderField, const EncodeSettings& settings, const QString& programFolder);
  // The Stop button: asks the running file to stop at its next block.
  void RequestStop() { stop_request_ = true; }
  bool Running() const { return running_; }
  const Counts& Result() const { return counts_; }

 private:
  bool ChooseOutputFolder(const QString& field, QString& folder);
  void ConvertFileRow(int& index, const QString& outputFolder);
  void ConvertFolderRow(int& index, const QString& outputFolder);
  FileResult ConvertOne(int& index, const QString& source, QString output);
  // Album mode: the albums' gains go into their files; a file that could not take them is named.
  void WriteAlbumGains();
  void Finish(const QString& outputFolder);
  void BackToIdle();

  IRunRows& rows_;
  IRunView& view_;
  IUserInterface& ui_;
  SettingsStore& settings_;
  RunServices services_;
  std::unique_ptr<IConversionComponent> converter_;
  FileConversion::Shared shared_;
  SourceFileSet sources_;
  std::atomic<bool> stop_request_{false};
  std::atomic<bool> overwrite_all_{false};
  std::unique_ptr<OutputClaims> claims_;  // one per run
  std::unique_ptr<ReplayGainAlbums> albums_;
  bool running_ = false;
  Counts counts_;
};

}  // namespace corvane
