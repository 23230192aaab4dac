#include "output/OutputClaims.h"

#include <QMutexLocker>

namespace corvane {

bool OutputClaims::Claim(const QString& path) {
  QMutexLocker lock(&mutex_);
  return claimed_[path]++ == 0;
}

void OutputClaims::Release(const QString& path) {
  QMutexLocker lock(&mutex_);
  const auto found = claimed_.find(path);
  if (found == claimed_.end()) return;
  if (--found.value() <= 0) claimed_.erase(found);
}

bool OutputClaims::IsClaimed(const QString& path) const {
  QMutexLocker lock(&mutex_);
  return claimed_.contains(path);
}

bool OutputClaims::FirstVisit(const QString& folder) {
  QMutexLocker lock(&mutex_);
  if (visited_.contains(folder)) return false;
  visited_.insert(folder);
  return true;
}

}  // namespace corvane
