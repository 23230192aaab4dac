#include "tags/TextNumbers.h"

#include <algorithm>

namespace corvane {

int LeadingInteger(const QString& text) {
  constexpr qint64 kCeiling = qint64{1} << 30;
  qsizetype i = 0;
  while (i < text.size() && text[i].isSpace()) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  qint64 value = 0;
  for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
    value = std::min(value * 10 + text[i].digitValue(), kCeiling);
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace corvane
