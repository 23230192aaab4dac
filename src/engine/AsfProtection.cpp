#include "engine/AsfProtection.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>

namespace corvane {
namespace {

// GUIDs as they lie in the file: the first three fields little-endian, the rest as written.
constexpr unsigned char kHeaderObject[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                             0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr unsigned char kContentEncryption[16] = {0xFB, 0xB3, 0x11, 0x22, 0x23, 0xBD, 0xD2, 0x11,
                                                  0xB4, 0xB7, 0x00, 0xA0, 0xC9, 0x55, 0xFC, 0x6E};
constexpr unsigned char kExtendedContentEncryption[16] = {0x14, 0xE6, 0x8A, 0x29, 0x22, 0x26, 0x17, 0x4C,
                                                          0xB9, 0x35, 0xDA, 0xE0, 0x7E, 0xE9, 0x28, 0x9C};

constexpr qint64 kGuidBytes = 16;
constexpr qint64 kObjectHeadBytes = kGuidBytes + 8;          // GUID, 64-bit size
constexpr qint64 kHeaderObjectBytes = kObjectHeadBytes + 6;  // object count, two reserved bytes
// No real header object holds more; a larger count is damage, and the walk stops there.
constexpr quint32 kMaxObjects = 4096;

bool IsGuid(const QByteArray& head, const unsigned char (&guid)[16]) {
  return head.size() >= kGuidBytes &&
         std::equal(guid, guid + kGuidBytes, head.constData(),
                    [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); });
}

quint64 SizeOf(const QByteArray& head) { return qFromLittleEndian<quint64>(head.constData() + kGuidBytes); }

}  // namespace

bool AsfHeaderIsProtected(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray header = file.read(kHeaderObjectBytes);
  if (header.size() < kHeaderObjectBytes || !IsGuid(header, kHeaderObject)) return false;
  const quint64 headerEnd = std::min<quint64>(SizeOf(header), static_cast<quint64>(file.size()));
  const quint32 count = std::min(qFromLittleEndian<quint32>(header.constData() + kObjectHeadBytes), kMaxObjects);
  quint64 at = kHeaderObjectBytes;
  for (quint32 i = 0; i < count && at + kObjectHeadBytes <= headerEnd; ++i) {
    if (!file.seek(static_cast<qint64>(at))) return false;
    const QByteArray head = file.read(kObjectHeadBytes);
    if (head.size() < kObjectHeadBytes) return false;
    if (IsGuid(head, kContentEncryption) || IsGuid(head, kExtendedContentEncryption)) return true;
    const quint64 size = SizeOf(head);
    if (size < static_cast<quint64>(kObjectHeadBytes) || size > headerEnd - at) return false;
    at += size;
  }
  return false;
}

}  // namespace corvane
