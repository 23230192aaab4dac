#include "common/SettingsStore.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <atomic>

namespace corvane {
namespace {

QSettings OpenStore() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(SettingsStore::kOrganisation),
                   QString::fromLatin1(SettingsStore::kApplication));
}

QString KeyOf(const char* section, const char* value) {
  return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(value);
}

// In session-only mode, values written by this process: read back by it, never stored. A removed
// value is held as an invalid variant.
std::atomic<bool> g_session_only{false};
QMutex g_session_mutex;
QHash<QString, QVariant>& SessionValues() {
  static QHash<QString, QVariant> values;
  return values;
}

QVariant Value(const QString& key) {
  if (g_session_only) {
    QMutexLocker lock(&g_session_mutex);
    const auto found = SessionValues().constFind(key);
    if (found != SessionValues().constEnd()) return found.value();
  }
  return OpenStore().value(key);
}

void Store(const QString& key, const QVariant& value) {
  if (g_session_only) {
    QMutexLocker lock(&g_session_mutex);
    SessionValues().insert(key, value);
    return;
  }
  if (value.isValid()) {
    OpenStore().setValue(key, value);
  } else {
    OpenStore().remove(key);
  }
}

}  // namespace

void SettingsStore::KeepChangesForThisSession() { g_session_only = true; }

std::optional<int> SettingsStore::FindNumber(const char* section, const char* value) {
  const QVariant stored = Value(KeyOf(section, value));
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
  const QVariant stored = Value(KeyOf(section, value));
  return stored.isValid() ? stored.toString() : fallback;
}

void SettingsStore::WriteNumber(const char* section, const char* value, int number) {
  Store(KeyOf(section, value), number);
}

void SettingsStore::WriteText(const char* section, const char* value, const QString& text) {
  Store(KeyOf(section, value), text);
}

bool SettingsStore::Contains(const char* section, const char* value) { return Value(KeyOf(section, value)).isValid(); }

void SettingsStore::Remove(const char* section, const char* value) { Store(KeyOf(section, value), QVariant()); }

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
