#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace corvane {

// One non-empty line of a cue sheet: its keyword upper-cased, its words with quotes taken off,
// and the text after the keyword as written, for values that real sheets leave unquoted.
struct CueLine {
  int number = 0;  // 1-based
  QString keyword;
  QStringList words;
  QString rest;

  // The line's value: the quoted string that follows the keyword, or all the rest.
  QString Value() const;
  // The value of a REM line, after its field name (REM GENRE "Rock" gives Rock).
  QString RemValue() const;
  // FILE's name and type word; an unquoted name may hold blanks, its last word is the type.
  std::pair<QString, QString> FileNameAndType() const;
};

// The sheet's lines, decoded as DecodeSheetText does; lines end in CR LF, LF or CR.
QList<CueLine> SplitCueLines(const QByteArray& sheet);

}  // namespace corvane
