#include "common/SettingsStore.h"

namespace corvane {
namespace {

// QSettings takes "/" and "\\" in a key for group separators, so a value named "A/B" would be
// stored as value "B" of a group "A". Those two characters, and "%" so that the escape reads
// back exactly, are written as "%" and two hex digits.
QString EscapedName(const char* name) {
  QString escaped;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c == '/' || *c == '\\' || *c == '%') {
      escaped += QStringLiteral("%%1").arg(static_cast<unsigned char>(*c), 2, 16, QLatin1Char('0')).toUpper();
    } else {
      escaped += QLatin1Char(*c);
    }
  }
  return escaped;
}

QString KeyOf(const char* section, const char* value) {
  return EscapedName(section) + QLatin1Char('/') + EscapedName(value);
}

// Where settings written before names were escaped hold a value whose name has a separator.
std::optional<QString> OldKeyOf(const char* section, const char* value) {
  const QString key = QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(value);
  if (key == KeyOf(section, value)) return std::nullopt;
  return key;
}

}  // namespace

QVariant SettingsStore::Stored(const char* section, const char* value) const {
  const QString key = KeyOf(section, value);
  QVariant stored = Value(key);
  if (stored.isValid()) return stored;
  const std::optional<QString> oldKey = OldKeyOf(section, value);
  if (!oldKey) return stored;
  stored = Value(*oldKey);
  if (stored.isValid()) {
    // Moved to its own name on the first read, so the old form never shadows a later write.
    auto& self = const_cast<SettingsStore&>(*this);
    self.Store(key, stored);
    self.Store(*oldKey, QVariant());
  }
  return stored;
}

void SettingsStore::Put(const char* section, const char* value, const QVariant& stored) {
  Store(KeyOf(section, value), stored);
  if (const std::optional<QString> oldKey = OldKeyOf(section, value)) Store(*oldKey, QVariant());
}

std::optional<int> SettingsStore::FindNumber(const char* section, const char* value) const {
  const QVariant stored = Stored(section, value);
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
  const QVariant stored = Stored(section, value);
  return stored.isValid() ? stored.toString() : fallback;
}

void SettingsStore::WriteNumber(const char* section, const char* value, int number) { Put(section, value, number); }

void SettingsStore::WriteText(const char* section, const char* value, const QString& text) {
  Put(section, value, text);
}

bool SettingsStore::Contains(const char* section, const char* value) const { return Stored(section, value).isValid(); }

void SettingsStore::Remove(const char* section, const char* value) { Put(section, value, QVariant()); }

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
