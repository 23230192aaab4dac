#include "ripper/DiscImageSetting.h"

#include <QDir>
#include <QFileInfo>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"

namespace corvane::disc_images {
namespace {

void Write(SettingsStore& settings, const QStringList& paths) {
  settings.WriteText(keys::section::kRip, keys::kDiscImages, paths.join(QLatin1Char('\n')));
}

}  // namespace

QString Normalised(const QString& path) {
  if (path.isEmpty()) return {};
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QStringList Read(const SettingsStore& settings) {
  QStringList paths;
  const QString stored = settings.ReadText(keys::section::kRip, keys::kDiscImages);
  for (const QString& line : stored.split(QLatin1Char('\n'))) {
    const QString path = line.trimmed();
    if (!path.isEmpty() && !paths.contains(path)) paths << path;
  }
  return paths;
}

QString Add(SettingsStore& settings, const QString& path) {
  const QString normal = Normalised(path);
  QStringList paths = Read(settings);
  if (!normal.isEmpty() && !paths.contains(normal)) {
    paths << normal;
    Write(settings, paths);
  }
  return normal;
}

bool Remove(SettingsStore& settings, const QString& path) {
  QStringList paths = Read(settings);
  if (paths.removeAll(path) == 0 && paths.removeAll(Normalised(path)) == 0) return false;
  Write(settings, paths);
  return true;
}

}  // namespace corvane::disc_images
