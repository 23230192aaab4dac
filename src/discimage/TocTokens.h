#pragma once
#include <QByteArray>
#include <QList>
#include <optional>

namespace corvane {

// A word of a cdrdao table: a keyword, number or mm:ss:ff time; a string with its escapes
// resolved to bytes; or one of the marks { } , #.
struct TocToken {
  enum class Kind { Word, String, Open, Close, Comma, Hash, End };
  Kind kind = Kind::End;
  QByteArray text;
  int line = 0;
};

// The table's tokens, comments (// to the end of the line) left out, ending with an End token;
// nothing when a string is not closed, and then `bad_line` is the line it started on.
std::optional<QList<TocToken>> SplitTocTokens(const QByteArray& toc, int& bad_line);

}  // namespace corvane
