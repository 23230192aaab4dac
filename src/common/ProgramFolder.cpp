#include "common/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"

namespace corvane {

QString ProgramFolder(const SettingsStore& settings) {
  const QString stored = settings.ReadText(keys::section::kConvert, keys::kInstallPath);
  if (!stored.isEmpty() && QDir::isAbsolutePath(stored)) return stored;
  return QCoreApplication::applicationDirPath();
}

}  // namespace corvane
