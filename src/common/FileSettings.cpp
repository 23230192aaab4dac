#include "common/FileSettings.h"

#include <QFileInfo>
#include <QSettings>

namespace corvane {
namespace {

QSettings OpenStore() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(SettingsStore::kOrganisation),
                   QString::fromLatin1(SettingsStore::kApplication));
}

}  // namespace

QString FileSettings::FilePath() const { return OpenStore().fileName(); }

QString FileSettings::FolderPath() const { return QFileInfo(FilePath()).absolutePath(); }

QVariant FileSettings::Value(const QString& key) const { return OpenStore().value(key); }

void FileSettings::Store(const QString& key, const QVariant& value) {
  if (value.isValid()) {
    OpenStore().setValue(key, value);
  } else {
    OpenStore().remove(key);
  }
}

}  // namespace corvane
