#include "common/SessionSettings.h"

#include <QMutexLocker>

namespace corvane {

QVariant SessionSettings::Value(const QString& key) const {
  {
    QMutexLocker lock(&mutex_);
    const auto found = changes_.constFind(key);
    if (found != changes_.constEnd()) return found.value();
  }
  return FileSettings::Value(key);
}

void SessionSettings::Store(const QString& key, const QVariant& value) {
  QMutexLocker lock(&mutex_);
  changes_.insert(key, value);
}

}  // namespace corvane
