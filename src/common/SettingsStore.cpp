#include "common/SettingsStore.h"

namespace corvane {
namespace {

QString KeyOf(const char* section, const char* value) {
  return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(value);
}

}  // namespace

std::optional<int> SettingsStore::FindNumber(const char* section, const char* value) const {
  const QVariant stored = Value(KeyOf(section, value));
  if (!stored.isValid()) return std::nullopt;
  bool ok = false;
  const int number = stored.toInt(&ok);
  if (!ok) return std::nullopt;
  return number;
}

int SettingsStore::ReadNumber(const char* section, const char* value, int fallback) const {
  return FindNumber(section, value).value_or(fallback);
}

QString SettingsStore::ReadText(const char* section, const char* value, const QString& fallback) const {
  const QVariant stored = Value(KeyOf(section, value));
  return stored.isValid() ? stored.toString() : fallback;
}

void SettingsStore::WriteNumber(const char* section, const char* value, int number) {
  Store(KeyOf(section, value), number);
}

void SettingsStore::WriteText(const char* section, const char* value, const QString& text) {
  Store(KeyOf(section, value), text);
}

bool SettingsStore::Contains(const char* section, const char* value) const {
  return Value(KeyOf(section, value)).isValid();
}

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

}  // namespace corvane
