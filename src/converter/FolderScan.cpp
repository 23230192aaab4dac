#include "converter/FolderScan.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "converter/ConversionListText.h"
#include "engine/InputTypes.h"

namespace corvane {
namespace {

constexpr int kCancelled = -1;

class Scan {
 public:
  Scan(int typeRow, bool subFolders, IProgressWindow* progress, QStringList& found, const QString& skipFolder)
      : extension_(InputTypes::Extension(typeRow)), sub_folders_(subFolders), progress_(progress), found_(found) {
    if (!skipFolder.isEmpty()) skip_ = QFileInfo(skipFolder).canonicalFilePath();
  }

  int Folder(const QString& folder) {
    const QString identity = QFileInfo(folder).canonicalFilePath();
    if (identity.isEmpty() || (!skip_.isEmpty() && identity == skip_) || visited_.contains(identity)) return 0;
    visited_.insert(identity);
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    return extension_.isEmpty() ? AnyType(entries) : OneType(entries);
  }

 private:
  // Files and sub-folders in one pass, as the folder lists them.
  int AnyType(const QFileInfoList& entries) {
    int count = 0;
    for (const QFileInfo& entry : entries) {
      int added = 0;
      if (entry.isDir()) {
        if (sub_folders_) added = Folder(entry.filePath());
      } else if (HasKnownAudioExtension(entry.fileName())) {
        added = Take(entry.filePath());
      }
      if (added == kCancelled) return kCancelled;
      count += added;
    }
    return count;
  }

  // The folder's own files of the one extension first, then its sub-folders.
  int OneType(const QFileInfoList& entries) {
    int count = 0;
    for (const QFileInfo& entry : entries) {
      if (entry.isDir() || entry.suffix().compare(extension_, Qt::CaseInsensitive) != 0) continue;
      if (Take(entry.filePath()) == kCancelled) return kCancelled;
      ++count;
    }
    if (!sub_folders_) return count;
    for (const QFileInfo& entry : entries) {
      if (!entry.isDir()) continue;
      const int added = Folder(entry.filePath());
      if (added == kCancelled) return kCancelled;
      count += added;
    }
    return count;
  }

  int Take(const QString& path) {
    found_ << path;
    ++taken_;
    if (progress_ == nullptr) return 1;
    progress_->SetText(StringTable::Format(text::kScanningFile, {QDir::toNativeSeparators(path)}));
    progress_->SetPosition(taken_ % 5 * 25);
    return progress_->CancelRequested() ? kCancelled : 1;
  }

  QString extension_;
  bool sub_folders_;
  IProgressWindow* progress_;
  QStringList& found_;
  QString skip_;
  QSet<QString> visited_;
  int taken_ = 0;
};

}  // namespace

bool HasKnownAudioExtension(const QString& path) {
  const QString suffix = QFileInfo(path).suffix();
  if (suffix.isEmpty()) return false;
  for (int row = 1; row < InputTypes::kRowCount; ++row) {
    if (suffix.compare(InputTypes::Extension(row), Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

int ScanFolder(const QString& folder, int typeRow, bool subFolders, IProgressWindow* progress, QStringList& found,
               const QString& skipFolder) {
  if (progress != nullptr) progress->SetRange(0, 100);
  Scan scan(typeRow, subFolders, progress, found, skipFolder);
  return scan.Folder(folder);
}

}  // namespace corvane
