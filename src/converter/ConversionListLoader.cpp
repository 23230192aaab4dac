#include "converter/ConversionListLoader.h"

#include <QFile>

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "converter/ConversionList.h"
#include "converter/FolderScan.h"
#include "converter/LoadFolderChoice.h"
#include "converter/OutputNaming.h"
#include "presets/ProfileFile.h"

namespace corvane {
namespace {

constexpr const char* kTotalSection = "FileTotal";
constexpr const char* kTotalKey = "Total";
constexpr const char* kItemSection = "FileNameItem";
constexpr const char* kNameKey = "NAME";
constexpr const char* kUnknownName = "UNKNOW";

// The name shown for a path: its last component, trailing separators ignored.
QString ShownName(QString path) {
  while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))) path.chop(1);
  return FileNameOf(path);
}

// Stands in when the user interface has no progress window to show.
class SilentProgress final : public IProgressWindow {
 public:
  void SetText(const QString&) override {}
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  bool CancelRequested() const override { return false; }
};

QStringList ReadHandOffList(const QString& path, int& total) {
  ProfileFile list(path);
  list.Load();
  total = list.ReadNumber(QString::fromLatin1(kTotalSection), QString::fromLatin1(kTotalKey), 0);
  QStringList names;
  for (int k = 1; k <= total; ++k) {
    const QString section = FormatText(QStringLiteral("%s_%02d"), {QString::fromLatin1(kItemSection), k});
    const QString name = list.ReadText(section, QString::fromLatin1(kNameKey), QString::fromLatin1(kUnknownName));
    if (name != QLatin1String(kUnknownName)) names << name;
  }
  return names;
}

}  // namespace

LoadResult ConversionListLoader::LoadEach(const QStringList& paths, int total, IProgressWindow* window) {
  IUserInterface& ui = list_.Ui();
  SilentProgress silent;
  IProgressWindow& shown = window != nullptr ? *window : silent;
  LoadResult result;
  bool asked = false;
  int last = -1;
  shown.SetRange(0, 100);
  for (qsizetype i = 0; i < paths.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    shown.SetText(StringTable::Format(text::kLoadingFile, {number, total, ShownName(paths[i])}));
    const int before = list_.Count();
    last = list_.AddPath(paths[i]);
    result.added += list_.Count() - before;
    shown.SetPosition(total > 0 ? number * 100 / total : 100);
    ui.PumpEvents();
    // The window's cancel state stays set once pressed, so the question is asked once: a user
    // who chose to go on is not asked again after every file.
    if (!asked && shown.CancelRequested()) {
      asked = true;
      if (ui.ShowMessage(StringTable::Text(text::kCancelLoadingQuestion), MessageIcon::Question,
                         MessageButtons::OkCancel) == MessageAnswer::Ok) {
        result.cancelled = true;
        break;
      }
    }
  }
  FocusLast(last);
  return result;
}

void ConversionListLoader::FocusLast(int lastResult) {
  list_.SelectAndFocus(lastResult >= 0 ? lastResult : list_.Count() - 1);
}

LoadResult ConversionListLoader::AddFiles(const QStringList& paths) {
  if (paths.isEmpty() || list_.Running()) return {};
  const WaitCursor waiting(list_.Ui());
  list_.ClearSelection();
  const auto window = list_.Ui().OpenProgressWindow(StringTable::Text(text::kAddingCaption));
  return LoadEach(paths, static_cast<int>(paths.size()), window.get());
}

LoadResult ConversionListLoader::Drop(const QStringList& paths) {
  if (paths.isEmpty() || list_.Running()) return {};
  const WaitCursor waiting(list_.Ui());
  const auto window = list_.Ui().OpenProgressWindow(StringTable::Text(text::kAddingCaption));
  return LoadEach(paths, static_cast<int>(paths.size()), window.get());
}

LoadResult ConversionListLoader::AddFolder(const LoadFolderChoice& choice, const QString& skipFolder) {
  if (list_.Running()) return {};
  const WaitCursor waiting(list_.Ui());
  list_.ClearSelection();
  return choice.as_files ? AddFolderFiles(choice, skipFolder) : AddFolderRow(choice, skipFolder);
}

LoadResult ConversionListLoader::AddFolderRow(const LoadFolderChoice& choice, const QString& skipFolder) {
  const int before = list_.Count();
  const int row = list_.AddPath(choice.folder);
  if (row < 0) return {};
  LoadResult result{list_.Count() - before, false};
  if (list_.Row(row).IsFolder()) {
    QStringList found;
    const auto window = list_.Ui().OpenProgressWindow(StringTable::Text(text::kAddingCaption));
    const ValueResult<int, ScanFailure> scanned =
        ScanFolder(list_.Row(row).SourcePath(), choice.type_row, choice.sub_folders, window.get(), found, skipFolder);
    if (scanned.Succeeded()) list_.SetFolderFileCount(row, *scanned.value);
    result.cancelled = !scanned.Succeeded();
    list_.SetFolderChoice(row, choice.type_row, choice.sub_folders);
  }
  FocusLast(row);
  return result;
}

LoadResult ConversionListLoader::AddFolderFiles(const LoadFolderChoice& choice, const QString& skipFolder) {
  const auto window = list_.Ui().OpenProgressWindow(StringTable::Text(text::kAddingCaption));
  if (window) window->SetText(StringTable::Text(text::kSearchingFolder));
  QStringList found;
  if (!ScanFolder(choice.folder, choice.type_row, choice.sub_folders, window.get(), found, skipFolder).Succeeded()) {
    return {0, true};
  }
  return LoadEach(found, static_cast<int>(found.size()), window.get());
}

LoadResult ConversionListLoader::HandOff(HandOffMode mode, const QString& path) {
  const WaitCursor waiting(list_.Ui());
  switch (mode) {
    case HandOffMode::SingleFile: {
      const int before = list_.Count();
      list_.AddPath(path);
      return {list_.Count() - before, false};
    }
    case HandOffMode::ListFile:
    case HandOffMode::ListFileThenDelete: {
      int total = 0;
      const QStringList names = ReadHandOffList(path, total);
      LoadResult result;
      if (!names.isEmpty()) {
        const auto window = list_.Ui().OpenProgressWindow(StringTable::Text(text::kAddingCaption));
        result = LoadEach(names, total, window.get());
      }
      if (mode == HandOffMode::ListFileThenDelete) QFile::remove(path);
      return result;
    }
    case HandOffMode::None:
      break;
  }
  return {};
}

}  // namespace corvane
