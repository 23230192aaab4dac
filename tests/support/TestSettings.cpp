#include "support/TestSettings.h"

#include <QSettings>

#include "common/FileSettings.h"
#include "support/SourceFixtures.h"

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

QString TestSettings::FileText() const { return QString::fromUtf8(ReadAll(FileSettings().FilePath())); }

}  // namespace corvane::test
