#include "common/MemorySettings.h"

#include <QMutexLocker>

namespace corvane {

QVariant MemorySettings::Value(const QString& key) const {
  QMutexLocker lock(&mutex_);
  return values_.value(key);
}

void MemorySettings::Store(const QString& key, const QVariant& value) {
  QMutexLocker lock(&mutex_);
  if (value.isValid()) {
    values_.insert(key, value);
  } else {
    values_.remove(key);
  }
}

}  // namespace corvane
