#include "engine/MusepackHeader.h"

#include <QFile>

namespace corvane {
namespace {

constexpr int kHeaderBytes = 4096;  // the stream header comes first; a few packets at most precede audio
constexpr int kMaxVarintBytes = 9;

// SV8 sizes and counts: big-endian groups of 7 bits, the top bit set on every byte but the last.
std::optional<quint64> ReadVarint(const QByteArray& bytes, int& at) {
  quint64 value = 0;
  for (int used = 0; used < kMaxVarintBytes && at < bytes.size(); ++used) {
    const auto byte = static_cast<unsigned char>(bytes[at++]);
    value = (value << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) return value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<qint64> MusepackSampleCount(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.read(kHeaderBytes);
  if (!bytes.startsWith("MPCK")) return std::nullopt;
  int at = 4;
  while (at + 2 < bytes.size()) {
    const QByteArray key = bytes.mid(at, 2);
    int content = at + 2;
    const std::optional<quint64> size = ReadVarint(bytes, content);
    if (!size || *size < static_cast<quint64>(content - at) || *size > static_cast<quint64>(kHeaderBytes)) break;
    if (key == "SH") {
      int field = content + 4 + 1;  // CRC, stream version
      const std::optional<quint64> samples = ReadVarint(bytes, field);
      if (!samples || field > at + static_cast<int>(*size) || *samples == 0 || *samples > (1ull << 40)) break;
      return static_cast<qint64>(*samples);
    }
    if (key == "AP" || key == "SE") break;  // audio or the end: no stream header before them
    at += static_cast<int>(*size);
  }
  return std::nullopt;
}

}  // namespace corvane
