#include "common/PathJoin.h"

#include <QDir>

namespace corvane {

QChar PathSeparator() { return QDir::separator(); }

QString JoinPath(const QString& folder, const QString& name) {
  if (folder.isEmpty()) return name;
  const QChar last = folder.back();
  // A path may carry either separator on Windows; on Linux only "/" is one.
  if (last == PathSeparator() || last == QLatin1Char('/')) return folder + name;
  return folder + PathSeparator() + name;
}

}  // namespace corvane
