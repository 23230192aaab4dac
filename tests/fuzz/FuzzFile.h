#pragma once
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>

namespace corvane::fuzz {

// The readers work on files: each input is written to one file per process, named with the
// extension the reader expects, in memory-backed /dev/shm where there is one (the tag writer
// syncs what it writes to disk).
inline QString WriteInput(const uint8_t* data, size_t size, const char* extension) {
  static const QDir folder =
      QDir(QStringLiteral("/dev/shm")).exists() ? QDir(QStringLiteral("/dev/shm")) : QDir::temp();
  static const QString path =
      folder.filePath(QStringLiteral("corvane-fuzz-%1.%2").arg(getpid()).arg(QLatin1String(extension)));
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  return path;
}

}  // namespace corvane::fuzz
