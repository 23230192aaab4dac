#pragma once
#include <QList>
#include <QString>

namespace corvane {

struct ColumnDef {
  QString caption;
  int width = 0;
};

// Reads a column specification: caption and width pairs joined by "," and separated by ";"
// (" ,30;#, 25;Track Title, 120"). Captions are kept as written, leading blanks included;
// widths skip leading blanks. Reading stops where no further "," follows.
QList<ColumnDef> ParseColumnSpec(const QString& spec);

}  // namespace corvane
