#include "support/TestSettings.h"

#include <QFile>
#include <QSettings>

#include "common/SettingsStore.h"

namespace corvane::test {

TestSettings::TestSettings() {
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
}

TestSettings::~TestSettings() {
  // Leave no cached view of this folder behind for the next test.
  QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(SettingsStore::kOrganisation),
            QString::fromLatin1(SettingsStore::kApplication))
      .sync();
}

QString TestSettings::FileText() const {
  QFile file(SettingsStore::FilePath());
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace corvane::test
