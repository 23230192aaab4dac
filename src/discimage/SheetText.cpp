#include "discimage/SheetText.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace corvane {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned codes stay C1 controls.
constexpr char16_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeWindows1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    text[i] = byte >= 0x80 && byte < 0xA0 ? QChar(kWindows1252High[byte - 0x80]) : QChar(char16_t(byte));
  }
  return text;
}

}  // namespace

QString DecodeSheetText(QByteArrayView bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  return DecodeWindows1252(bytes);
}

qint64 ParseMsf(const QString& word) {
  static const QRegularExpression kMsf(QStringLiteral("^(\\d{1,4}):(\\d{1,2}):(\\d{1,2})$"));
  const QRegularExpressionMatch match = kMsf.match(word);
  if (!match.hasMatch()) return -1;
  const qint64 seconds = match.captured(2).toLongLong(), frames = match.captured(3).toLongLong();
  if (seconds >= 60 || frames >= 75) return -1;
  return (match.captured(1).toLongLong() * 60 + seconds) * 75 + frames;
}

QString MsfText(qint64 sectors) {
  return QStringLiteral("%1:%2:%3")
      .arg(sectors / 75 / 60, 2, 10, QLatin1Char('0'))
      .arg(sectors / 75 % 60, 2, 10, QLatin1Char('0'))
      .arg(sectors % 75, 2, 10, QLatin1Char('0'));
}

}  // namespace corvane
