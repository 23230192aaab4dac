#pragma once
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "converter/ConversionRow.h"
#include "probe/AudioFileDescription.h"

namespace corvane {

class CAudioEngine;
class IUserInterface;
class SettingsStore;

// Where the page would write its outputs now: the output format's extension (".mp3"), the
// "Same folder as original" box and the output folder field.
struct OutputTarget {
  QString extension;
  bool same_folder = false;
  QString output_folder;
};

// The two texts of the selection update: the "Audio Information - " line and the second part
// of the status bar ("Output - " and where the focused row would be written).
struct SelectionInfo {
  int row = -1;  // the row described; -1 when nothing is selected
  QString info_line;
  QString output_status;
};

// Callbacks through which a view follows the list. Any of them may be left empty.
struct ConversionListObserver {
  std::function<void(int first, int last)> rows_inserted;
  std::function<void(int first, int last)> rows_removed;
  std::function<void(int first, int last)> rows_changed;
  // The selection of rows `first` to `last` may have changed.
  std::function<void(int first, int last)> selection_changed;
  // The list should take the keyboard focus with `row` current and scrolled into view.
  std::function<void(int row)> focus_row;
};

// What playback tells the list: the file it has loaded, and how to stop it when that file's row
// goes away.
struct PlaybackHooks {
  std::function<QString()> loaded_path;
  std::function<void()> stop;
};

// Probes one source file for its row (DescribeAudioFile in the program).
using ProbeFunction = std::function<AudioFileDescription(const QString& path)>;

// The rows of the conversion list with their selection. Rows are made only by AddPath; their
// texts are all there is to them (see ConversionRow).
class ConversionList {
 public:
  ConversionList(IUserInterface& ui, SettingsStore& settings, ProbeFunction probe);
  ConversionList(const CAudioEngine& engine, IUserInterface& ui, SettingsStore& settings);

  IUserInterface& Ui() const { return ui_; }
  void SetObserver(ConversionListObserver observer) { observer_ = std::move(observer); }
  void SetPlaybackHooks(PlaybackHooks hooks) { playback_ = std::move(hooks); }

  // Adds a file row or a folder row for `path` (the file system decides which) and selects it.
  // A file already in the list gives its row and adds nothing; a file that cannot be probed
  // gives -1. Paths are made absolute and clean first.
  int AddPath(const QString& path);

  int Count() const { return static_cast<int>(entries_.size()); }
  const ConversionRow& Row(int row) const { return entries_[static_cast<size_t>(row)].row; }
  const QString& Text(int row, ListColumn column) const { return Row(row).Text(column); }
  void SetStatus(int row, const QString& status);
  // "%d files" in a folder row's "Size" after a scan.
  void SetFolderFileCount(int row, int count);
  void SetFolderChoice(int row, int typeRow, bool subFolders);

  bool IsSelected(int row) const;
  void SetSelected(int row, bool selected);
  void ClearSelection();
  QList<int> SelectedRows() const;
  int FocusedRow() const { return focused_; }
  void SetFocusedRow(int row);
  // Selects `row` (others stay selected), makes it the focused row and asks the view to show it.
  void SelectAndFocus(int row);

  // Removes the selected rows; asks nothing, but tells the user when no row is selected.
  void RemoveSelected();
  // Asks, then removes every row. False when nothing was removed.
  bool RemoveAll();

  // While a run is active the selection update does nothing and rows are neither added by the
  // loader nor removed, since the run walks them by index.
  void SetRunning(bool running) { running_ = running; }
  bool Running() const { return running_; }
  // The selection update: computes the two texts and writes the status bar's part. nullopt while
  // a run is active.
  std::optional<SelectionInfo> UpdateSelection(const OutputTarget& target) const;
  // The output path (file row) or output folder (folder row, ending with a separator) of `row`.
  QString OutputOf(int row, const OutputTarget& target) const;

 private:
  struct Entry {
    ConversionRow row;
    bool selected = false;
  };

  int FindFile(const QString& name, const QString& folder) const;
  int Append(ConversionRow row);
  void RemoveRow(int row);
  void Renumber(int first);
  void Changed(int first, int last) const;
  void SelectionChanged(int first, int last) const;
  bool IsLoadedForPlayback(const ConversionRow& row) const;

  IUserInterface& ui_;
  SettingsStore& settings_;
  ProbeFunction probe_;
  std::vector<Entry> entries_;
  int focused_ = -1;
  bool running_ = false;
  ConversionListObserver observer_;
  PlaybackHooks playback_;
};

// The absolute, clean form of a path in the platform's separators; the identity of a file in the
// list. Trailing separators are dropped except for a root.
QString CleanListPath(const QString& path);

}  // namespace corvane
