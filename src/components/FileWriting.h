#pragma once
#include <QFile>
#include <string>

namespace corvane {

// Writes all of `data`, going on after a short write: the write that then fails says why
// (a short write alone carries no reason).
inline bool WriteWhole(QFile& file, const char* data, qint64 size) {
  while (size > 0) {
    const qint64 written = file.write(data, size);
    if (written <= 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

// What went wrong with an output file, in the system's words: "cannot write the MP3 file: No
// space left on device".
inline std::string FileFailure(const QFile& file, const char* what) {
  return std::string(what) + ": " + file.errorString().toStdString();
}

}  // namespace corvane
