#pragma once
#include <QHash>
#include <QMutex>

#include "common/FileSettings.h"

namespace corvane {

// The settings file seen through the changes of this process: values it writes (or removes) are
// kept in memory and seen first by its own readers, and the file is never written. A command-line
// run uses this, so that its options never become the window's settings.
class SessionSettings : public FileSettings {
 protected:
  QVariant Value(const QString& key) const override;
  void Store(const QString& key, const QVariant& value) override;

 private:
  mutable QMutex mutex_;
  // A removed value is held as an invalid variant, so the file's value stays hidden.
  QHash<QString, QVariant> changes_;
};

}  // namespace corvane
