#pragma once
#include <QHash>
#include <QMutex>

#include "common/SettingsStore.h"

namespace corvane {

// Settings held in memory only, starting empty: for tests and other runs that must neither read
// nor write the user's settings. `folder` is what FolderPath gives (where files that live beside
// the settings, such as the preset file, are put).
class MemorySettings : public SettingsStore {
 public:
  explicit MemorySettings(QString folder = {}) : folder_(std::move(folder)) {}

  QString FolderPath() const override { return folder_; }

 protected:
  QVariant Value(const QString& key) const override;
  void Store(const QString& key, const QVariant& value) override;

 private:
  QString folder_;
  mutable QMutex mutex_;
  QHash<QString, QVariant> values_;
};

}  // namespace corvane
