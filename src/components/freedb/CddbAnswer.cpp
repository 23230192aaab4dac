#include "components/freedb/CddbAnswer.h"

#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>
#include <array>

namespace corvane {
namespace {

constexpr int kMaxTracks = 99;

// Phrases of the entries a server fabricates for clients it refuses instead of sending an error.
constexpr std::array<const char*, 5> kRefusalPhrases = {"not compatible", "we recommend using another program",
                                                        "gnudb.org/howto", "submit your data to gnudb",
                                                        "unknown developer email"};

bool HasListBody(int code) { return (code / 10) % 10 == 1; }

std::optional<CddbMatch> MatchFromLine(const QString& line) {
  static const QRegularExpression pattern(QStringLiteral("^([a-z]+) ([0-9a-f]{8})(?: |$)"),
                                          QRegularExpression::CaseInsensitiveOption);
  const auto found = pattern.match(line);
  if (!found.hasMatch()) return std::nullopt;
  return CddbMatch{found.captured(1).toLower(), found.captured(2).toLower()};
}

QString Unescape(const QString& value) {
  QString out;
  out.reserve(value.size());
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (c != u'\\' || i + 1 == value.size()) {
      out += c;
      continue;
    }
    const QChar next = value[++i];
    if (next == u'n')
      out += u'\n';
    else if (next == u't')
      out += u'\t';
    else if (next == u'\\')
      out += u'\\';
    else
      out += c, out += next;
  }
  return out;
}

QString Value(const QString& raw) { return CleanCddbValue(Unescape(raw)); }

bool LooksFabricated(const CddbEntry& entry) {
  QString all = entry.artist + u'\n' + entry.album;
  for (const auto& title : entry.titles) all += u'\n' + title;
  all = all.toLower();
  for (const char* phrase : kRefusalPhrases)
    if (all.contains(QLatin1String(phrase))) return true;
  return false;
}

}  // namespace

std::optional<CddbAnswer> SplitCddbAnswer(const QByteArray& body) {
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString text = decoder.decode(body);
  if (decoder.hasError()) return std::nullopt;
  QStringList lines = text.split(u'\n');
  for (auto& line : lines)
    if (line.endsWith(u'\r')) line.chop(1);

  static const QRegularExpression status(QStringLiteral("^([0-9]{3})(?: (.*))?$"));
  const auto head = status.match(lines.value(0));
  if (!head.hasMatch()) return std::nullopt;
  CddbAnswer answer;
  answer.code = head.captured(1).toInt();
  answer.status_text = head.captured(2);
  if (!HasListBody(answer.code)) return answer;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    if (lines[i] == u".") return answer;
    answer.lines.append(lines[i]);
  }
  return std::nullopt;
}

std::optional<CddbMatch> FirstCddbMatch(const CddbAnswer& answer) {
  if (answer.code == 200) return MatchFromLine(answer.status_text);
  if ((answer.code == 210 || answer.code == 211) && !answer.lines.isEmpty()) return MatchFromLine(answer.lines.first());
  return std::nullopt;
}

std::optional<CddbEntry> ParseCddbEntry(const CddbAnswer& answer) {
  if (answer.code != 210) return std::nullopt;
  const auto match = MatchFromLine(answer.status_text);
  if (!match) return std::nullopt;

  // Long values continue on further lines with the same keyword: join them before splitting or
  // unescaping, as a separator or an escape may fall on the break.
  QMap<QString, QString> values;
  QMap<int, QString> titles;
  static const QRegularExpression trackKey(QStringLiteral("^TTITLE([0-9]{1,2})$"));
  for (const auto& line : answer.lines) {
    if (line.startsWith(u'#')) continue;
    const auto equals = line.indexOf(u'=');
    if (equals <= 0) continue;
    const QString key = line.left(equals);
    const QString value = line.mid(equals + 1);
    if (const auto track = trackKey.match(key); track.hasMatch()) {
      const int index = track.captured(1).toInt();
      if (index < kMaxTracks) titles[index] += value;
    } else {
      values[key] += value;
    }
  }
  const QString title = values.value(QStringLiteral("DTITLE"));
  if (title.isEmpty()) return std::nullopt;

  CddbEntry entry;
  entry.category = match->category;
  entry.disc_id = match->disc_id;
  const auto separator = title.indexOf(QStringLiteral(" / "));
  entry.artist = Value(separator < 0 ? title : title.left(separator));
  entry.album = Value(separator < 0 ? title : title.mid(separator + 3));
  const QString year = Value(values.value(QStringLiteral("DYEAR")));
  static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
  if (fourDigits.match(year).hasMatch()) entry.year = year;
  entry.genre = Value(values.value(QStringLiteral("DGENRE")));
  if (!titles.isEmpty()) {
    entry.titles.resize(titles.lastKey() + 1);
    for (auto it = titles.cbegin(); it != titles.cend(); ++it) entry.titles[it.key()] = Value(it.value());
  }
  if (LooksFabricated(entry)) return std::nullopt;
  return entry;
}

QString CleanCddbValue(const QString& value) {
  QString out;
  out.reserve(value.size());
  bool pendingSpace = false;
  for (const QChar c : value) {
    if (c.category() == QChar::Other_Control) {
      pendingSpace = true;
      continue;
    }
    if (pendingSpace && !out.isEmpty() && !out.back().isSpace() && !c.isSpace()) out += u' ';
    pendingSpace = false;
    out += c;
  }
  return out.trimmed();
}

}  // namespace corvane
