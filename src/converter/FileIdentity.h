#pragma once
#include <QString>
#include <optional>
#include <set>
#include <utility>

namespace corvane {

// Which file a path names: the device and inode behind it, so that two spellings, a symbolic
// link or a hard link of the same file compare equal. Empty when nothing exists at the path.
using FileId = std::pair<unsigned long long, unsigned long long>;
std::optional<FileId> IdentityOf(const QString& path);

// True when both paths name the same existing file or folder.
bool SameFile(const QString& a, const QString& b);

// The identities of a run's source files, so that no output ever lands on one of them.
class SourceFileSet {
 public:
  void Add(const QString& path);
  bool Contains(const QString& path) const;

 private:
  std::set<FileId> ids_;
};

}  // namespace corvane
