#include "common/ColumnSpec.h"

namespace corvane {

QList<ColumnDef> ParseColumnSpec(const QString& spec) {
  QList<ColumnDef> columns;
  qsizetype at = 0;
  while (at < spec.size()) {
    const qsizetype comma = spec.indexOf(QLatin1Char(','), at);
    if (comma < 0) break;
    qsizetype end = spec.indexOf(QLatin1Char(';'), comma + 1);
    if (end < 0) end = spec.size();
    ColumnDef column;
    column.caption = spec.mid(at, comma - at);
    // Like atoi: leading blanks, then the digits that follow; anything else ends the number.
    const QString width = spec.mid(comma + 1, end - comma - 1).trimmed();
    qsizetype digits = 0;
    if (digits < width.size() && (width[0] == QLatin1Char('-') || width[0] == QLatin1Char('+'))) ++digits;
    while (digits < width.size() && width[digits].isDigit()) ++digits;
    column.width = width.left(digits).toInt();
    columns << column;
    at = end + 1;
  }
  return columns;
}

}  // namespace corvane
