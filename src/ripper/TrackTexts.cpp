#include "ripper/TrackTexts.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "tags/Id3Genres.h"

namespace corvane {
namespace track_text {

QString Length(int minutes, int seconds) { return StringTable::Format(text::kTrackLength, {minutes, seconds}); }

qint64 LengthMs(const QString& cell) {
  static const QRegularExpression kLength(QStringLiteral("^\\s*(\\d+):(\\d\\d)$"));
  const QRegularExpressionMatch match = kLength.match(cell);
  if (!match.hasMatch()) return 0;
  return (match.captured(1).toLongLong() * 60 + match.captured(2).toLongLong()) * 1000;
}

QString Position(int row, qint64 ms) {
  const qint64 seconds = std::max<qint64>(0, ms) / 1000;
  const QString time = StringTable::Format(text::kTrackPositionTime,
                                           {static_cast<qlonglong>(seconds / 60), static_cast<int>(seconds % 60)});
  return StringTable::Format(text::kTrackPositionLabel, {row + 1, time});
}

}  // namespace track_text

namespace {

// The year a disc image's date gives ("1999", "1999-05-10", "1999/05"); empty when it gives none.
QString YearOf(const QString& date) {
  static const QRegularExpression kYear(QStringLiteral("^(\\d{4})(?:\\D|$)"));
  const QRegularExpressionMatch match = kYear.match(date);
  return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace

DiscMetadata ReadCdTextTitles(const QStringList& lines) {
  static const QRegularExpression kLine(QStringLiteral("^([A-Z_]+)(\\d+)=(.*)$"),
                                        QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression kControls(QStringLiteral("[\\x00-\\x1f\\x7f]+"));
  DiscMetadata titles;
  QSet<QString> seen;
  for (const QString& line : lines) {
    const QRegularExpressionMatch match = kLine.match(line);
    if (!match.hasMatch()) continue;
    const QString key = match.captured(1);
    const int index = match.captured(2).toInt();
    // The first line of a key is the one that counts.
    if (seen.contains(key + QString::number(index))) continue;
    seen.insert(key + QString::number(index));
    const QString value = match.captured(3).replace(kControls, QStringLiteral(" ")).trimmed();
    if (index == 0) {
      if (key == QLatin1String("TITLE")) titles.album = value;
      if (key == QLatin1String("PERFORMER")) titles.artist = value;
      if (key == QLatin1String("DATE")) titles.year = YearOf(value);
      if (key == QLatin1String("GENRE")) {
        const int genre = Id3Genres::IndexOf(value);
        // Genre 0 ("Blues") is no genre here, as in a looked-up answer, which makes it "Other".
        titles.genre_entry = genre >= 1 && genre < Id3Genres::kCount ? genre + 1 : 0;
      }
    } else if (key == QLatin1String("TITLE") && index <= 99) {
      if (titles.titles.size() < index) titles.titles.resize(index);
      titles.titles[index - 1] = value;
    }
  }
  return titles;
}

}  // namespace corvane
