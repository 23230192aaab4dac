#include "common/CdioHandle.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cstdlib>
#include <mutex>

namespace corvane {
namespace {

// libcdio reports every oddity of a drive or an image on standard error; the grabber and the CD
// stream turn the failures that matter into results, so only libcdio's own errors are let through.
void QuietLog(cdio_log_level_t level, const char* message) {
  if (level >= CDIO_LOG_ERROR) cdio_default_log_handler(level, message);
}

void InstallQuietLog() {
  static std::once_flag once;
  std::call_once(once, [] { cdio_log_set_handler(QuietLog); });
}

bool IsCueFile(const char* path) {
  char* bin = cdio_is_cuefile(path);
  const bool cue = bin != nullptr;
  std::free(bin);
  return cue;
}

// libcdio looks for the files a cdrdao table names relative to the working directory, not to the
// table. The table is therefore opened from a copy that names them with absolute paths; libcdio
// reads the table once, while opening, and keeps the data files' own paths.
CdioHandle OpenTocFile(const QString& path) {
  QFile toc(path);
  if (!toc.open(QIODevice::ReadOnly)) return {};
  QString text = QString::fromUtf8(toc.readAll());
  static const QRegularExpression fileReference(QStringLiteral(R"re(\b((?:AUDIO|DATA)?FILE)\s+"([^"]+)")re"));
  const QDir folder = QFileInfo(path).absoluteDir();
  QString resolved;
  qsizetype copied = 0;
  for (auto it = fileReference.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    resolved += text.mid(copied, match.capturedStart() - copied);
    resolved += QStringLiteral("%1 \"%2\"").arg(match.captured(1), folder.absoluteFilePath(match.captured(2)));
    copied = match.capturedEnd();
  }
  resolved += text.mid(copied);
  QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/corvane-XXXXXX.toc"));
  if (!copy.open() || copy.write(resolved.toUtf8()) < 0 || !copy.flush()) return {};
  const QByteArray name = QFile::encodeName(copy.fileName());
  if (!cdio_is_tocfile(name.constData())) return {};
  return CdioHandle(cdio_open(name.constData(), DRIVER_CDRDAO));
}

// The data file a cue sheet names, absolute; empty unless the sheet names exactly one.
QString CueDataFile(const QString& path) {
  QFile cue(path);
  if (!cue.open(QIODevice::ReadOnly)) return {};
  static const QRegularExpression fileLine(
      QStringLiteral(R"re(^\s*FILE\s+"([^"]+)")re"),
      QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
  const QString text = QString::fromUtf8(cue.readAll());
  QStringList files;
  for (auto it = fileLine.globalMatch(text); it.hasNext();) files << it.next().captured(1);
  if (files.size() != 1) return {};
  return QFileInfo(path).absoluteDir().absoluteFilePath(files.front());
}

CdioHandle OpenCueFile(const QString& path) {
  const QFileInfo cue(path);
  const QString data = CueDataFile(path);
  const QString expected = cue.absoluteDir().absoluteFilePath(cue.completeBaseName() + QStringLiteral(".bin"));
  if (data.isEmpty() || data == expected || !QFileInfo(data).isFile()) {
    const QByteArray name = QFile::encodeName(path);
    return CdioHandle(cdio_open(name.constData(), DRIVER_BINCUE));
  }
  auto staging = std::make_shared<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/corvane-XXXXXX"));
  const QString sheet = staging->filePath(QStringLiteral("disc.cue"));
  if (!staging->isValid() || !QFile::copy(path, sheet) ||
      !QFile::link(data, staging->filePath(QStringLiteral("disc.bin"))))
    return {};
  const QByteArray name = QFile::encodeName(sheet);
  return CdioHandle(cdio_open(name.constData(), DRIVER_BINCUE), CdioCloser{std::move(staging)});
}

}  // namespace

CdioHandle OpenCdioDevice(const QString& device) {
  InstallQuietLog();
  return CdioHandle(cdio_open(QFile::encodeName(device).constData(), DRIVER_DEVICE));
}

CdioHandle OpenCdioImage(const QString& path) {
  InstallQuietLog();
  if (!QFileInfo(path).isFile()) return {};
  const QByteArray name = QFile::encodeName(path);
  if (IsCueFile(name.constData())) return OpenCueFile(path);
  if (path.endsWith(QLatin1String(".toc"), Qt::CaseInsensitive)) return OpenTocFile(path);
  if (cdio_is_nrg(name.constData())) return CdioHandle(cdio_open(name.constData(), DRIVER_NRG));
  return {};
}

}  // namespace corvane
