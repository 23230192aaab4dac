#include "discimage/CueSheetLines.h"

#include "discimage/SheetText.h"

namespace corvane {
namespace {

// The text of a quoted value at the start of `text` (to the end when the quote is not closed),
// and what follows it.
std::pair<QString, QString> TakeQuoted(const QString& text) {
  const qsizetype close = text.indexOf(QLatin1Char('"'), 1);
  if (close < 0) return {text.mid(1), {}};
  return {text.mid(1, close - 1), text.mid(close + 1).trimmed()};
}

QString ValueOf(const QString& text) { return text.startsWith(QLatin1Char('"')) ? TakeQuoted(text).first : text; }

QStringList Words(const QString& text) {
  QStringList words;
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n) {
    while (i < n && text[i].isSpace()) ++i;
    if (i >= n) break;
    if (text[i] == QLatin1Char('"')) {
      const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
      const qsizetype end = close < 0 ? n : close;
      words << text.mid(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    const qsizetype start = i;
    while (i < n && !text[i].isSpace()) ++i;
    words << text.mid(start, i - start);
  }
  return words;
}

}  // namespace

QString CueLine::Value() const { return ValueOf(rest); }

QString CueLine::RemValue() const {
  qsizetype i = 0;
  while (i < rest.size() && !rest[i].isSpace()) ++i;
  return ValueOf(rest.mid(i).trimmed());
}

std::pair<QString, QString> CueLine::FileNameAndType() const {
  if (rest.startsWith(QLatin1Char('"'))) {
    const auto [name, after] = TakeQuoted(rest);
    return {name, Words(after).value(0)};
  }
  if (words.size() < 2) return {words.value(0), {}};
  const QString type = words.back();
  return {rest.left(rest.size() - type.size()).trimmed(), type};
}

QList<CueLine> SplitCueLines(const QByteArray& sheet) {
  QString text = DecodeSheetText(sheet);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QList<CueLine> lines;
  const QStringList raw = text.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const QString trimmed = raw[i].trimmed();
    if (trimmed.isEmpty()) continue;
    qsizetype end = 0;
    while (end < trimmed.size() && !trimmed[end].isSpace()) ++end;
    CueLine line;
    line.number = static_cast<int>(i + 1);
    line.keyword = trimmed.left(end).toUpper();
    line.rest = trimmed.mid(end).trimmed();
    line.words = Words(line.rest);
    lines << line;
  }
  return lines;
}

}  // namespace corvane
