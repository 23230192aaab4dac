#include "common/SettingsStore.h"

#include <QFileInfo>
#include <QSettings>

namespace corvane {
namespace {

QSettings OpenStore() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(SettingsStore::kOrganisation),
                   QString::fromLatin1(SettingsStore::kApplication));
}

QString KeyOf(const char* section, const char* value) {
  return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(value);
}

}  // namespace

std::optional<int> SettingsStore::FindNumber(const char* section, const char* value) {
  const QVariant stored = OpenStore().value(KeyOf(section, value));
  if (!stored.isValid()) return std::nullopt;
  bool ok = false;
  const int number = stored.toInt(&ok);
  if (!ok) return std::nullopt;
  return number;
}

int SettingsStore::ReadNumber(const char* section, const char* value, int fallback) {
  return FindNumber(section, value).value_or(fallback);
}

QString SettingsStore::ReadText(const char* section, const char* value, const QString& fallback) {
  const QVariant stored = OpenStore().value(KeyOf(section, value));
  return stored.isValid() ? stored.toString() : fallback;
}

void SettingsStore::WriteNumber(const char* section, const char* value, int number) {
  OpenStore().setValue(KeyOf(section, value), number);
}

void SettingsStore::WriteText(const char* section, const char* value, const QString& text) {
  OpenStore().setValue(KeyOf(section, value), text);
}

bool SettingsStore::Contains(const char* section, const char* value) {
  return OpenStore().contains(KeyOf(section, value));
}

void SettingsStore::Remove(const char* section, const char* value) {
  OpenStore().remove(KeyOf(section, value));
}

int SettingsStore::ReadNumberOrStore(const char* section, const char* value, int fallback) {
  const int number = ReadNumber(section, value, -1);
  if (number != -1) return number;
  WriteNumber(section, value, fallback);
  return fallback;
}

QString SettingsStore::ReadTextOrStore(const char* section, const char* value, const QString& fallback) {
  const QString text = ReadText(section, value);
  if (!text.isEmpty()) return text;
  WriteText(section, value, fallback);
  return fallback;
}

QString SettingsStore::FilePath() { return OpenStore().fileName(); }

QString SettingsStore::FolderPath() { return QFileInfo(FilePath()).absolutePath(); }

}  // namespace corvane
