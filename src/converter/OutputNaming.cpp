#include "converter/OutputNaming.h"

#include "common/PathJoin.h"
#include "output/FileNameLimit.h"

namespace corvane {
namespace {

qsizetype LastSeparator(const QString& path) {
  return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(PathSeparator()));
}

bool EndsWithSeparator(const QString& path) {
  return !path.isEmpty() && (path.back() == QLatin1Char('/') || path.back() == PathSeparator());
}

// A root has nothing above it: "/" here, "C:\" on Windows.
bool IsRoot(const QString& folderWithSeparator) {
  return folderWithSeparator.size() == 1 || folderWithSeparator.endsWith(QStringLiteral(":\\")) ||
         folderWithSeparator.endsWith(QStringLiteral(":/"));
}

}  // namespace

QString FolderOf(const QString& path) {
  const qsizetype at = LastSeparator(path);
  if (at < 0) return QString();
  if (at == 0) return path.left(1);  // a file in the root
  return path.left(at);
}

QString FileNameOf(const QString& path) { return path.mid(LastSeparator(path) + 1); }

QString OutputPathFor(const QString& folder, const QString& sourcePath, const QString& extension) {
  const QString name = FileNameOf(sourcePath);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const QString title = dot < 0 ? name : name.left(dot);
  const QString upperExtension = extension.toUpper();
  // A source's name fits, but the output's extension or "-New" may be longer than its own.
  QString path = JoinPath(folder, FitName(title, upperExtension));
  if (path.compare(sourcePath, Qt::CaseInsensitive) == 0) {
    path = JoinPath(folder, FitName(title, QStringLiteral("-New") + upperExtension));
  }
  return path;
}

QString MirrorFolder(const QString& outputRoot, const QString& fileFolder, const QString& rowFolder) {
  QString folder = rowFolder;
  if (!EndsWithSeparator(folder)) folder += PathSeparator();
  if (!IsRoot(folder)) folder.chop(1);
  const QString parent = folder.left(LastSeparator(folder) + 1);
  const QString relative = fileFolder.size() > parent.size() ? fileFolder.mid(parent.size()) : QString();
  QString mirrored = JoinPath(outputRoot, relative);
  if (!EndsWithSeparator(mirrored)) mirrored += PathSeparator();
  return mirrored;
}

}  // namespace corvane
