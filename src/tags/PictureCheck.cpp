#include "tags/PictureCheck.h"

#include <QStringList>

#include "common/StringTable.h"
#include "common/strings/FormatText.h"

namespace corvane {
namespace {

bool StartsWith(const QByteArray& data, const char* signature, qsizetype size) {
  return data.size() >= size && std::equal(signature, signature + size, data.constData());
}

// A JPEG ends with its end-of-image marker; encoders may pad after it with zeros.
bool WholeJpeg(const QByteArray& data) {
  qsizetype end = data.size();
  while (end > 2 && data[end - 1] == '\0') --end;
  return end >= 4 && static_cast<unsigned char>(data[end - 2]) == 0xFF &&
         static_cast<unsigned char>(data[end - 1]) == 0xD9;
}

// A PNG ends with its IEND chunk (length 0, type, CRC).
bool WholePng(const QByteArray& data) {
  static const char kEnd[] = {'\0', '\0', '\0', '\0', 'I', 'E', 'N', 'D', '\xAE', 'B', '`', '\x82'};
  return data.size() >= 8 + 12 && data.endsWith(QByteArray(kEnd, sizeof kEnd));
}

// A WebP file is one RIFF chunk whose length covers the rest of the data.
bool WholeWebp(const QByteArray& data) {
  if (data.size() < 12) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
  const quint32 length = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | static_cast<quint32>(bytes[7]) << 24;
  return qint64{length} + 8 <= data.size();
}

}  // namespace

QString RefusePicture(Picture& picture) {
  const QByteArray& data = picture.data;
  if (data.size() > kMaxPictureBytes)
    return StringTable::Format(text::kPictureTooLarge, {data.size(), kMaxPictureBytes});
  if (StartsWith(data, "\xFF\xD8\xFF", 3)) {
    if (!WholeJpeg(data)) return StringTable::Text(text::kPictureDamaged);
    picture.mime = QStringLiteral("image/jpeg");
  } else if (StartsWith(data, "\x89PNG\r\n\x1A\n", 8)) {
    if (!WholePng(data)) return StringTable::Text(text::kPictureDamaged);
    picture.mime = QStringLiteral("image/png");
  } else if (StartsWith(data, "RIFF", 4) && data.mid(8, 4) == "WEBP") {
    if (!WholeWebp(data)) return StringTable::Text(text::kPictureDamaged);
    picture.mime = QStringLiteral("image/webp");
  } else {
    return StringTable::Text(text::kPictureNotAnImage);
  }
  return {};
}

Pictures CheckedPictures(Pictures pictures, QStringList& dropped) {
  Pictures kept;
  for (Picture& picture : pictures) {
    const QString reason = RefusePicture(picture);
    if (reason.isEmpty())
      kept.push_back(std::move(picture));
    else
      dropped << reason;
  }
  return kept;
}

}  // namespace corvane
