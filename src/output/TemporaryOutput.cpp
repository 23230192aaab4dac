#include "output/TemporaryOutput.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace corvane {
namespace {

constexpr int kAttempts = 100;
constexpr mode_t kNewFileMode = 0666;  // the umask applies

QByteArray Encoded(const QString& path) { return QFile::encodeName(path); }

QString ProcPath(int fd) { return QStringLiteral("/proc/self/fd/%1").arg(fd); }

// ".corvane-1a2b3c4d.MP3": short whatever the output's name, so it always fits where the output
// does.
QString RandomName(const QString& folder, const QString& suffix) {
  QString name = folder + QStringLiteral("/.corvane-") +
                 QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
  if (!suffix.isEmpty()) name += QLatin1Char('.') + suffix;
  return name;
}

// The permissions of the output it may replace, so a replaced output keeps its own.
void TakeModeOf(int fd, const QString& output) {
  struct stat existing {};
  if (::stat(Encoded(output).constData(), &existing) == 0 && S_ISREG(existing.st_mode))
    ::fchmod(fd, existing.st_mode & 07777);
}

// Creates and locks a new named file; -1 with errno set when the folder does not take one. A file
// that a sweep removed between creation and locking is created again.
int CreateNamed(const QString& folder, const QString& suffix, QString& name) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    name = RandomName(folder, suffix);
    const int fd = ::open(Encoded(name).constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, kNewFileMode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    // A file system without locks still takes the file, unprotected from sweeps.
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
    struct stat own {};
    if (locked && ::fstat(fd, &own) == 0 && own.st_nlink > 0) return fd;
    ::close(fd);
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

std::unique_ptr<TemporaryOutput> TemporaryOutput::Create(const QString& output, bool needsName, int& error) {
  std::unique_ptr<TemporaryOutput> file(new TemporaryOutput);
  const QFileInfo info(output);
  file->folder_ = info.absolutePath();
  file->suffix_ = info.suffix().left(16);
  if (!needsName) {
    file->fd_ = ::open(Encoded(file->folder_).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, kNewFileMode);
    // The lock also covers the short-lived name an unnamed file gets on its way over an output.
    if (file->fd_ >= 0) ::flock(file->fd_, LOCK_EX | LOCK_NB);
    // Writers reach an unnamed file through /proc; without it the file needs a name.
    if (file->fd_ >= 0 && ::access(Encoded(ProcPath(file->fd_)).constData(), F_OK) != 0) {
      ::close(file->fd_);
      file->fd_ = -1;
    }
  }
  if (file->fd_ < 0) {
    // File systems without unnamed files (and writers that need a name) get a named one.
    file->fd_ = CreateNamed(file->folder_, file->suffix_, file->name_);
    if (file->fd_ < 0) {
      error = errno;
      return nullptr;
    }
  }
  TakeModeOf(file->fd_, output);
  return file;
}

TemporaryOutput::~TemporaryOutput() {
  if (!committed_ && !name_.isEmpty()) ::unlink(Encoded(name_).constData());
  if (fd_ >= 0) ::close(fd_);
}

QString TemporaryOutput::WritePath() const { return name_.isEmpty() ? ProcPath(fd_) : name_; }

TemporaryOutput::Commit TemporaryOutput::MoveTo(const QString& output, bool replace, int& error) {
  // A write the disk could not take shows here at the latest.
  if (::fsync(fd_) != 0) {
    error = errno;
    return Commit::Failed;
  }
  const Commit result =
      name_.isEmpty() ? LinkUnnamed(output, replace, error) : RenameNamed(name_, output, replace, error);
  if (result == Commit::Done) committed_ = true;
  return result;
}

TemporaryOutput::Commit TemporaryOutput::LinkUnnamed(const QString& output, bool replace, int& error) {
  const QByteArray self = Encoded(ProcPath(fd_));
  if (!replace) {
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, Encoded(output).constData(), AT_SYMLINK_FOLLOW) == 0)
      return Commit::Done;
    error = errno;
    return error == EEXIST ? Commit::Exists : Commit::Failed;
  }
  // link() never replaces: the file gets a temporary name first, which then replaces the output.
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const QString name = RandomName(folder_, suffix_);
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, Encoded(name).constData(), AT_SYMLINK_FOLLOW) != 0) {
      if (errno == EEXIST) continue;
      error = errno;
      return Commit::Failed;
    }
    const Commit result = RenameNamed(name, output, true, error);
    if (result != Commit::Done) ::unlink(Encoded(name).constData());
    return result;
  }
  error = EEXIST;
  return Commit::Failed;
}

TemporaryOutput::Commit TemporaryOutput::RenameNamed(const QString& from, const QString& output, bool replace,
                                                     int& error) {
  const QByteArray source = Encoded(from);
  const QByteArray target = Encoded(output);
  if (replace) {
    if (::rename(source.constData(), target.constData()) == 0) return Commit::Done;
    error = errno;
    return Commit::Failed;
  }
  if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
    return Commit::Done;
  error = errno;
  if (error == EINVAL || error == ENOSYS) {
    // A file system without RENAME_NOREPLACE: link() gives the same guarantee.
    if (::link(source.constData(), target.constData()) == 0) {
      ::unlink(source.constData());
      return Commit::Done;
    }
    error = errno;
  }
  return error == EEXIST ? Commit::Exists : Commit::Failed;
}

bool TemporaryOutput::IsTemporaryName(const QString& fileName) {
  static const QRegularExpression pattern(QStringLiteral("^\\.corvane-[0-9a-f]{8}(\\.[^/]{1,16})?$"));
  return pattern.match(fileName).hasMatch();
}

void TemporaryOutput::SweepFolder(const QString& folder) {
  const QByteArray path = Encoded(folder);
  const int dirFd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return;
  DIR* dir = ::fdopendir(dirFd);
  if (dir == nullptr) {
    ::close(dirFd);
    return;
  }
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryName(QFile::decodeName(entry->d_name))) continue;
    const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    // A lock we can take means no writer holds the file: it was left by a run that ended.
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(dirFd, entry->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}

}  // namespace corvane
