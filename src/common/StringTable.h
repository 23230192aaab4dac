#pragma once
#include <QList>
#include <QString>
#include <QVariant>
#include <initializer_list>

namespace corvane {

// Every user-visible text, keyed by its string number so that it can be translated in one
// place. The texts live in strings/*.inc, one file per area of the program.
class StringTable {
 public:
  // The text with that number; an unknown number gives an empty text.
  static QString Text(int id);
  static bool Has(int id);
  // Numbers that more than one row of the table claims (a mistake when two areas pick the same).
  static QList<int> DuplicateIds();
  // The text with that number, with its printf-style fields (%s %d %ld %02d %%) filled in order.
  static QString Format(int id, std::initializer_list<QVariant> args);
};

// printf-style formatting over QString values: %s, %c, %d/%i/%u/%ld (with flags 0 and -, a width),
// %x/%X, %f with a precision, and %%. A field without an argument stays as written.
QString FormatText(const QString& pattern, std::initializer_list<QVariant> args);

}  // namespace corvane
