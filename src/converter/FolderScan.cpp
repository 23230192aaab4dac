#include "converter/FolderScan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <dirent.h>

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "engine/InputTypes.h"

namespace corvane {
namespace {

constexpr int kCancelled = -1;

class Scan {
 public:
  Scan(int typeRow, bool subFolders, IProgressWindow* progress, QStringList& found, const QString& skipFolder,
       QStringList* unreadable)
      : extension_(InputTypes::Extension(typeRow)),
        sub_folders_(subFolders),
        progress_(progress),
        found_(found),
        unreadable_(unreadable) {
    if (!skipFolder.isEmpty()) skip_ = QFileInfo(skipFolder).canonicalFilePath();
  }

  int Folder(const QString& folder) {
    const QString identity = QFileInfo(folder).canonicalFilePath();
    if (identity.isEmpty() || (!skip_.isEmpty() && identity == skip_) || visited_.contains(identity)) return 0;
    visited_.insert(identity);
    const QDir dir(folder);
    QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                              QDir::Name | QDir::IgnoreCase);
    // A name that does not survive decoding names no file: it is reported below instead.
    entries.removeIf([](const QFileInfo& entry) { return !entry.exists() && !entry.isSymLink(); });
    if (unreadable_ != nullptr) FindUnreadable(folder);
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

  // The entries of `folder` whose names are not valid UTF-8, read from the raw directory.
  void FindUnreadable(const QString& folder) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
      const QByteArray raw(entry->d_name);
      QStringDecoder utf8(QStringDecoder::Utf8);
      const QString name = utf8.decode(raw);
      if (!utf8.hasError()) continue;
      const QFileInfo info(folder + QLatin1Char('/') + name);
      const bool isFolder = entry->d_type == DT_DIR;
      const bool wanted = isFolder
                              ? sub_folders_
                              : (extension_.isEmpty() ? HasKnownAudioExtension(name)
                                                      : info.suffix().compare(extension_, Qt::CaseInsensitive) == 0);
      if (wanted) *unreadable_ << info.filePath();
    }
    ::closedir(dir);
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
  QStringList* unreadable_;
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

ValueResult<int, ScanFailure> ScanFolder(const QString& folder, int typeRow, bool subFolders, IProgressWindow* progress,
                                         QStringList& found, const QString& skipFolder, QStringList* unreadable) {
  if (progress != nullptr) progress->SetRange(0, 100);
  Scan scan(typeRow, subFolders, progress, found, skipFolder, unreadable);
  const int count = scan.Folder(folder);
  if (count < 0) return ValueResult<int, ScanFailure>::Failure(ScanFailure::Cancelled);
  return ValueResult<int, ScanFailure>::Success(count);
}

}  // namespace corvane
