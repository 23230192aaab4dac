#pragma once
#include <QFile>
#include <QString>
#include <vector>

namespace corvane {

// Random-access reads of a file of unknown content. Reads never reach past the end of the
// file, and a window of the file is cached so that scanning it byte by byte stays cheap.
class BoundedFileReader {
 public:
  BoundedFileReader() = default;
  BoundedFileReader(const BoundedFileReader&) = delete;
  BoundedFileReader& operator=(const BoundedFileReader&) = delete;

  bool Open(const QString& path);
  qint64 Size() const { return size_; }

  // Copies up to `count` bytes from `position` into `out`; returns the bytes copied (fewer near
  // the end of the file, 0 past it or for a negative position).
  int ReadAt(qint64 position, char* out, int count);
  // The 32-bit big-endian value at `position`; false when fewer than 4 bytes remain there.
  bool ReadBigEndian32(qint64 position, quint32& value);

 private:
  bool Fill(qint64 position);

  QFile file_;
  qint64 size_ = 0;
  std::vector<char> window_;
  qint64 window_start_ = 0;
  qint64 window_length_ = 0;
};

}  // namespace corvane
