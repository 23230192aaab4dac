#include "common/StringTable.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace corvane {
namespace {

struct Entry {
  int id;
  const char* text;  // UTF-8
};

constexpr Entry kEntries[] = {
#include "common/strings/cli.inc"
#include "common/strings/converter.inc"
#include "common/strings/discimage.inc"
#include "common/strings/engine.inc"
#include "common/strings/formats.inc"
#include "common/strings/ripper.inc"
#include "common/strings/shell.inc"
};

const std::unordered_map<int, QString>& Table() {
  static const std::unordered_map<int, QString> table = [] {
    std::unordered_map<int, QString> built;
    for (const Entry& entry : kEntries) built.emplace(entry.id, QString::fromUtf8(entry.text));
    return built;
  }();
  return table;
}

QString FormatField(QChar conversion, const QString& flags, int width, int precision, const QVariant& arg) {
  const bool zeroPad = flags.contains(QLatin1Char('0'));
  const bool leftAlign = flags.contains(QLatin1Char('-'));
  QString out;
  switch (conversion.unicode()) {
    case 'd':
    case 'i':
      out = QString::number(arg.toLongLong());
      break;
    case 'u':
      out = QString::number(arg.toULongLong());
      break;
    case 'x':
      out = QString::number(arg.toULongLong(), 16);
      break;
    case 'X':
      out = QString::number(arg.toULongLong(), 16).toUpper();
      break;
    case 'f':
      out = QString::number(arg.toDouble(), 'f', precision < 0 ? 6 : precision);
      break;
    case 'c':
      out = arg.typeId() == QMetaType::QString ? arg.toString().left(1) : QString(QChar(arg.toInt()));
      break;
    default:  // 's'
      out = arg.toString();
      if (precision >= 0) out.truncate(precision);
      break;
  }
  if (out.size() < width) {
    const bool numeric = conversion != QLatin1Char('s') && conversion != QLatin1Char('c');
    if (leftAlign) {
      out = out.leftJustified(width, QLatin1Char(' '));
    } else if (zeroPad && numeric) {
      const bool negative = out.startsWith(QLatin1Char('-'));
      QString digits = negative ? out.mid(1) : out;
      digits = digits.rightJustified(width - (negative ? 1 : 0), QLatin1Char('0'));
      out = negative ? QLatin1Char('-') + digits : digits;
    } else {
      out = out.rightJustified(width, QLatin1Char(' '));
    }
  }
  return out;
}

}  // namespace

QString StringTable::Text(int id) {
  const auto& table = Table();
  const auto found = table.find(id);
  return found == table.end() ? QString() : found->second;
}

bool StringTable::Has(int id) { return Table().count(id) != 0; }

QList<int> StringTable::DuplicateIds() {
  QList<int> ids;
  for (const Entry& entry : kEntries) ids << entry.id;
  std::sort(ids.begin(), ids.end());
  QList<int> duplicates;
  for (qsizetype i = 1; i < ids.size(); ++i) {
    if (ids[i] == ids[i - 1] && (duplicates.isEmpty() || duplicates.back() != ids[i])) duplicates << ids[i];
  }
  return duplicates;
}

QString StringTable::Format(int id, std::initializer_list<QVariant> args) { return FormatText(Text(id), args); }

QString FormatText(const QString& pattern, std::initializer_list<QVariant> args) {
  QString result;
  result.reserve(pattern.size() + 32);
  auto next = args.begin();
  const qsizetype n = pattern.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = pattern[i];
    if (c != QLatin1Char('%') || i + 1 >= n) {
      result += c;
      continue;
    }
    if (pattern[i + 1] == QLatin1Char('%')) {
      result += QLatin1Char('%');
      ++i;
      continue;
    }
    qsizetype j = i + 1;
    QString flags;
    while (j < n && (pattern[j] == QLatin1Char('0') || pattern[j] == QLatin1Char('-') ||
                     pattern[j] == QLatin1Char('+') || pattern[j] == QLatin1Char(' '))) {
      flags += pattern[j++];
    }
    int width = 0;
    while (j < n && pattern[j].isDigit()) width = width * 10 + pattern[j++].digitValue();
    int precision = -1;
    if (j < n && pattern[j] == QLatin1Char('.')) {
      precision = 0;
      ++j;
      while (j < n && pattern[j].isDigit()) precision = precision * 10 + pattern[j++].digitValue();
    }
    while (j < n && (pattern[j] == QLatin1Char('l') || pattern[j] == QLatin1Char('h'))) ++j;
    static const QString kConversions = QStringLiteral("sdiuxXfc");
    if (j >= n || !kConversions.contains(pattern[j]) || next == args.end()) {
      result += c;  // not a field we fill: keep it as written
      continue;
    }
    result += FormatField(pattern[j], flags, width, precision, *next++);
    i = j;
  }
  return result;
}

}  // namespace corvane
