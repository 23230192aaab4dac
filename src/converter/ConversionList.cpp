#include "converter/ConversionList.h"

#include <QDir>
#include <QFileInfo>

#include "common/PathJoin.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "converter/OutputNaming.h"

namespace corvane {
namespace {

qsizetype LastSeparator(const QString& path) {
  return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(PathSeparator()));
}

// A bare drive ("C:") that the file system does not report as a folder.
bool IsBareDrive(const QString& path) {
  QString stripped = path;
  while (stripped.size() > 1 && (stripped.back() == QLatin1Char('/') || stripped.back() == PathSeparator())) {
    stripped.chop(1);
  }
  return stripped.size() == 2 && stripped.back() == QLatin1Char(':');
}

bool EndsWithSeparator(const QString& path) {
  return !path.isEmpty() && (path.back() == QLatin1Char('/') || path.back() == PathSeparator());
}

}  // namespace

QString CleanListPath(const QString& path) {
  return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

ConversionList::ConversionList(IUserInterface& ui, SettingsStore& settings, ProbeFunction probe)
    : ui_(ui), settings_(settings), probe_(std::move(probe)) {}

ConversionList::ConversionList(const CAudioEngine& engine, IUserInterface& ui, SettingsStore& settings)
    : ConversionList(ui, settings,
                     [&engine, &ui](const QString& path) { return DescribeAudioFile(engine, path, ui); }) {}

int ConversionList::AddPath(const QString& path) {
  if (path.isEmpty()) return -1;
  const QString clean = CleanListPath(path);
  const bool folder = QFileInfo(clean).isDir() || (!QFileInfo::exists(clean) && IsBareDrive(path));
  const qsizetype at = LastSeparator(clean);
  QString name = clean.mid(at + 1);
  if (folder) {
    if (name.isEmpty()) name = clean;
    const int typeRow = settings_.ReadNumber(keys::section::kConvert, keys::kLoadFolderAudioType, 0);
    const bool subFolders = settings_.ReadNumber(keys::section::kConvert, keys::kSubFolders, 1) != 0;
    return Append(ConversionRow::ForFolder(name, clean, typeRow, subFolders));
  }
  const QString parent = clean.left(at + 1);
  const int existing = FindFile(name, parent);
  if (existing >= 0) return existing;
  const AudioFileDescription probe = probe_(clean);
  if (!probe.ok) return -1;
  // Writing saves the whole settings file; a run of files from one folder writes it once.
  if (settings_.ReadText(keys::section::kConvert, keys::kLastSourceFolder) != parent) {
    settings_.WriteText(keys::section::kConvert, keys::kLastSourceFolder, parent);
  }
  return Append(ConversionRow::ForFile(name, parent, probe));
}

int ConversionList::FindFile(const QString& name, const QString& folder) const {
  for (int row = 0; row < Count(); ++row) {
    const ConversionRow& candidate = Row(row);
    if (!candidate.IsFolder() && candidate.Text(ListColumn::Name) == name &&
        candidate.Text(ListColumn::FilePath) == folder) {
      return row;
    }
  }
  return -1;
}

int ConversionList::Append(ConversionRow row) {
  const int index = Count();
  row.SetNumber(index);
  entries_.push_back({std::move(row), true});
  if (observer_.rows_inserted) observer_.rows_inserted(index, index);
  SelectionChanged(index, index);
  return index;
}

void ConversionList::SetStatus(int row, const QString& status) {
  entries_[static_cast<size_t>(row)].row.SetText(ListColumn::Status, status);
  Changed(row, row);
}

void ConversionList::SetFolderFileCount(int row, int count) {
  entries_[static_cast<size_t>(row)].row.SetText(ListColumn::Size, StringTable::Format(text::kFileCount, {count}));
  Changed(row, row);
}

void ConversionList::SetFolderChoice(int row, int typeRow, bool subFolders) {
  entries_[static_cast<size_t>(row)].row.SetFolderChoice(typeRow, subFolders);
  Changed(row, row);
}

bool ConversionList::IsSelected(int row) const {
  return row >= 0 && row < Count() && entries_[static_cast<size_t>(row)].selected;
}

void ConversionList::SetSelected(int row, bool selected) {
  if (row < 0 || row >= Count() || entries_[static_cast<size_t>(row)].selected == selected) return;
  entries_[static_cast<size_t>(row)].selected = selected;
  SelectionChanged(row, row);
}

void ConversionList::ClearSelection() {
  int first = -1;
  int last = -1;
  for (int row = 0; row < Count(); ++row) {
    Entry& entry = entries_[static_cast<size_t>(row)];
    if (!entry.selected) continue;
    entry.selected = false;
    if (first < 0) first = row;
    last = row;
  }
  if (first >= 0) SelectionChanged(first, last);
}

QList<int> ConversionList::SelectedRows() const {
  QList<int> rows;
  for (int row = 0; row < Count(); ++row) {
    if (entries_[static_cast<size_t>(row)].selected) rows << row;
  }
  return rows;
}

void ConversionList::SetFocusedRow(int row) { focused_ = row >= 0 && row < Count() ? row : -1; }

void ConversionList::SelectAndFocus(int row) {
  if (row < 0 || row >= Count()) return;
  focused_ = row;
  SetSelected(row, true);
  if (observer_.focus_row) observer_.focus_row(row);
}

void ConversionList::RemoveSelected() {
  if (running_ || entries_.empty()) return;
  const QList<int> selected = SelectedRows();
  if (selected.isEmpty()) {
    ui_.ShowMessage(StringTable::Text(text::kSelectItemFirst), MessageIcon::Warning, MessageButtons::Ok);
    return;
  }
  const bool loaded =
      std::any_of(selected.begin(), selected.end(), [this](int row) { return IsLoadedForPlayback(Row(row)); });
  if (loaded && playback_.stop) playback_.stop();
  for (qsizetype i = selected.size() - 1; i >= 0; --i) RemoveRow(selected[i]);
  const int first = selected.front();
  Renumber(first);
  focused_ = -1;
  if (entries_.empty()) {
    SelectionChanged(0, -1);
    return;
  }
  SelectAndFocus(std::max(first - 1, 0));
}

bool ConversionList::RemoveAll() {
  if (running_ || entries_.empty()) return false;
  if (ui_.ShowMessage(StringTable::Text(text::kRemoveAllQuestion), MessageIcon::Question, MessageButtons::YesNo) !=
      MessageAnswer::Yes) {
    return false;
  }
  if (playback_.stop) playback_.stop();
  const int last = Count() - 1;
  entries_.clear();
  focused_ = -1;
  if (observer_.rows_removed) observer_.rows_removed(0, last);
  SelectionChanged(0, -1);
  return true;
}

void ConversionList::RemoveRow(int row) {
  entries_.erase(entries_.begin() + row);
  if (observer_.rows_removed) observer_.rows_removed(row, row);
}

void ConversionList::Renumber(int first) {
  for (int row = first; row < Count(); ++row) entries_[static_cast<size_t>(row)].row.SetNumber(row);
  if (first < Count()) Changed(first, Count() - 1);
}

void ConversionList::Changed(int first, int last) const {
  if (observer_.rows_changed) observer_.rows_changed(first, last);
}

void ConversionList::SelectionChanged(int first, int last) const {
  if (observer_.selection_changed) observer_.selection_changed(first, last);
}

bool ConversionList::IsLoadedForPlayback(const ConversionRow& row) const {
  if (row.IsFolder() || !playback_.loaded_path) return false;
  const QString loaded = playback_.loaded_path();
  return !loaded.isEmpty() && CleanListPath(loaded) == row.SourcePath();
}

std::optional<SelectionInfo> ConversionList::UpdateSelection(const OutputTarget& target) const {
  if (running_) return std::nullopt;
  SelectionInfo info;
  info.row = IsSelected(focused_) ? focused_ : -1;
  if (info.row < 0) {
    const QList<int> selected = SelectedRows();
    if (!selected.isEmpty()) info.row = selected.front();
  }
  info.output_status = StringTable::Text(text::kOutputStatus);
  if (info.row >= 0) {
    const ConversionRow& row = Row(info.row);
    const QString& name = row.Text(ListColumn::Name);
    info.info_line =
        row.IsFolder()
            ? StringTable::Format(text::kFolderRowInfo, {info.row + 1, Count(), row.Text(ListColumn::AudioInfo), name,
                                                         row.Text(ListColumn::SubFolders)})
            : StringTable::Format(text::kFileRowInfo, {info.row + 1, Count(), name, row.Text(ListColumn::AudioInfo)});
    info.output_status += OutputOf(info.row, target);
  }
  ui_.SetStatusText(1, info.output_status);
  return info;
}

QString ConversionList::OutputOf(int row, const OutputTarget& target) const {
  const ConversionRow& entry = Row(row);
  const QString& folder = entry.Text(ListColumn::FilePath);
  if (!entry.IsFolder()) {
    return OutputPathFor(target.same_folder ? folder : target.output_folder, entry.SourcePath(), target.extension);
  }
  if (!target.same_folder) return MirrorFolder(target.output_folder, folder, folder);
  return EndsWithSeparator(folder) ? folder : folder + PathSeparator();
}

}  // namespace corvane
