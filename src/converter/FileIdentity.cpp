#include "converter/FileIdentity.h"

#include <sys/stat.h>
#include <QFile>

namespace corvane {

std::optional<FileId> IdentityOf(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
  return FileId{static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
}

bool SameFile(const QString& a, const QString& b) {
  const auto first = IdentityOf(a);
  return first.has_value() && first == IdentityOf(b);
}

void SourceFileSet::Add(const QString& path) {
  if (const auto id = IdentityOf(path)) ids_.insert(*id);
}

bool SourceFileSet::Contains(const QString& path) const {
  const auto id = IdentityOf(path);
  return id.has_value() && ids_.count(*id) != 0;
}

}  // namespace corvane
