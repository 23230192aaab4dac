#include "discimage/TocTokens.h"

namespace corvane {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool IsMark(char c) { return c == '{' || c == '}' || c == ',' || c == '#' || c == '"'; }

// A string's bytes from just after its opening quote; false when it never closes. Escapes:
// \" \\ and \ooo octal codes, as cdrdao writes bytes outside ASCII.
bool TakeString(const QByteArray& toc, qsizetype& i, int& line, QByteArray& out) {
  const qsizetype n = toc.size();
  while (i < n) {
    const char c = toc[i++];
    if (c == '"') return true;
    if (c == '\n') ++line;
    if (c != '\\' || i >= n) {
      out += c;
      continue;
    }
    if (toc[i] >= '0' && toc[i] <= '7') {
      int value = 0;
      for (int digits = 0; digits < 3 && i < n && toc[i] >= '0' && toc[i] <= '7'; ++digits)
        value = value * 8 + (toc[i++] - '0');
      out += static_cast<char>(value & 0xff);
    } else {
      out += toc[i++];
    }
  }
  return false;
}

}  // namespace

std::optional<QList<TocToken>> SplitTocTokens(const QByteArray& toc, int& bad_line) {
  QList<TocToken> tokens;
  int line = 1;
  qsizetype i = 0;
  const qsizetype n = toc.size();
  while (i < n) {
    const char c = toc[i];
    if (IsBlank(c)) {
      line += c == '\n';
      ++i;
    } else if (c == '/' && i + 1 < n && toc[i + 1] == '/') {
      while (i < n && toc[i] != '\n') ++i;
    } else if (c == '"') {
      TocToken token{TocToken::Kind::String, {}, line};
      ++i;
      if (!TakeString(toc, i, line, token.text)) {
        bad_line = token.line;
        return std::nullopt;
      }
      tokens << token;
    } else if (IsMark(c)) {
      const TocToken::Kind kind = c == '{'   ? TocToken::Kind::Open
                                  : c == '}' ? TocToken::Kind::Close
                                  : c == ',' ? TocToken::Kind::Comma
                                             : TocToken::Kind::Hash;
      tokens << TocToken{kind, QByteArray(1, c), line};
      ++i;
    } else {
      const qsizetype start = i;
      while (i < n && !IsBlank(toc[i]) && !IsMark(toc[i]) && !(toc[i] == '/' && i + 1 < n && toc[i + 1] == '/')) ++i;
      tokens << TocToken{TocToken::Kind::Word, toc.mid(start, i - start), line};
    }
  }
  tokens << TocToken{TocToken::Kind::End, {}, line};
  return tokens;
}

}  // namespace corvane
