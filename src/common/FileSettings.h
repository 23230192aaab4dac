#pragma once
#include "common/SettingsStore.h"

namespace corvane {

// The settings file of the window, kept by QSettings (organisation "Quillon", application
// "Bexlor"). Nothing is cached: every read opens the file's current view, so a value written by
// one part of the program is seen by every later reader.
class FileSettings : public SettingsStore {
 public:
  // Full path of the file that holds the settings.
  QString FilePath() const;
  QString FolderPath() const override;

 protected:
  QVariant Value(const QString& key) const override;
  void Store(const QString& key, const QVariant& value) override;
};

}  // namespace corvane
