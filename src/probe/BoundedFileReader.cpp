#include "probe/BoundedFileReader.h"

#include <algorithm>
#include <cstring>

namespace corvane {
namespace {

constexpr qint64 kWindowBytes = 64 * 1024;

}  // namespace

bool BoundedFileReader::Open(const QString& path) {
  file_.setFileName(path);
  if (!file_.open(QIODevice::ReadOnly)) return false;
  size_ = file_.size();
  window_.resize(kWindowBytes);
  window_start_ = 0;
  window_length_ = 0;
  return true;
}

bool BoundedFileReader::Fill(qint64 position) {
  if (!file_.seek(position)) return false;
  const qint64 read = file_.read(window_.data(), kWindowBytes);
  window_start_ = position;
  window_length_ = std::max<qint64>(read, 0);
  return window_length_ > 0;
}

int BoundedFileReader::ReadAt(qint64 position, char* out, int count) {
  if (position < 0 || count <= 0 || position >= size_ || !file_.isOpen()) return 0;
  count = static_cast<int>(std::min<qint64>(count, size_ - position));
  int copied = 0;
  while (copied < count) {
    const qint64 at = position + copied;
    if (at < window_start_ || at >= window_start_ + window_length_) {
      if (!Fill(at)) break;
    }
    const qint64 available = window_start_ + window_length_ - at;
    const int take = static_cast<int>(std::min<qint64>(available, count - copied));
    std::memcpy(out + copied, window_.data() + (at - window_start_), static_cast<size_t>(take));
    copied += take;
  }
  return copied;
}

bool BoundedFileReader::ReadBigEndian32(qint64 position, quint32& value) {
  unsigned char bytes[4];
  if (ReadAt(position, reinterpret_cast<char*>(bytes), 4) != 4) return false;
  value = (quint32{bytes[0]} << 24) | (quint32{bytes[1]} << 16) | (quint32{bytes[2]} << 8) | quint32{bytes[3]};
  return true;
}

}  // namespace corvane
