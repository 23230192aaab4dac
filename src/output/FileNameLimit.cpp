#include "output/FileNameLimit.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace corvane {

qsizetype NameBytes(const QString& name) { return QFile::encodeName(name).size(); }

QString CutToNameBytes(const QString& text, qsizetype maxBytes) {
  if (NameBytes(text) <= maxBytes) return text;
  QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
  qsizetype kept = 0;
  qsizetype bytes = 0;
  for (qsizetype next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
    bytes += NameBytes(text.mid(kept, next - kept));
    if (bytes > maxBytes) break;
    kept = next;
  }
  qsizetype end = kept;
  while (end > 0 && text.at(end - 1).isSpace()) --end;
  return text.left(end);
}

QString FitName(const QString& stem, const QString& tail) {
  return CutToNameBytes(stem, std::max<qsizetype>(0, kMaxNameBytes - NameBytes(tail))) + tail;
}

QString NumberedPath(const QString& path, int n) {
  const QFileInfo info(path);
  const QString suffix = info.suffix();
  const QString stem = suffix.isEmpty() ? info.fileName() : info.completeBaseName();
  QString tail = QStringLiteral(" (%1)").arg(n);
  if (!suffix.isEmpty()) tail += QLatin1Char('.') + suffix;
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return path.left(slash + 1) + FitName(stem, tail);
}

}  // namespace corvane
