#pragma once
#include <QString>
#include <QVariant>
#include <optional>

namespace corvane {

// The per-user settings: named sections of number and text values. The program's owner creates
// one store (FileSettings for the window, SessionSettings for a command-line run) and hands it to
// every part that reads or writes a value; tests may hand over a MemorySettings instead.
class SettingsStore {
 public:
  static constexpr const char* kOrganisation = "Quillon";
  static constexpr const char* kApplication = "Bexlor";

  virtual ~SettingsStore() = default;

  // The stored number, or `fallback` when the value is absent or not a number.
  int ReadNumber(const char* section, const char* value, int fallback) const;
  // The stored text, or `fallback` when the value is absent.
  QString ReadText(const char* section, const char* value, const QString& fallback = {}) const;
  void WriteNumber(const char* section, const char* value, int number);
  void WriteText(const char* section, const char* value, const QString& text);

  bool Contains(const char* section, const char* value) const;
  std::optional<int> FindNumber(const char* section, const char* value) const;
  void Remove(const char* section, const char* value);

  // Readers that own a default write it back at once: a number read as -1 (absent, or -1
  // stored) or an empty text is replaced by `fallback`, which is stored and returned.
  int ReadNumberOrStore(const char* section, const char* value, int fallback);
  QString ReadTextOrStore(const char* section, const char* value, const QString& fallback);

  // The folder that holds the settings (for the file, the per-user config folder).
  virtual QString FolderPath() const = 0;

 protected:
  // The value stored under the key made of the section and the value's name; invalid when absent.
  virtual QVariant Value(const QString& key) const = 0;
  // Stores `value` under the key; an invalid value removes the key.
  virtual void Store(const QString& key, const QVariant& value) = 0;

 private:
  // The value under its exact name. A value that settings written before held in a sub-group
  // (its name has a "/") is read from there and moved to its exact name.
  QVariant Stored(const char* section, const char* value) const;
  // Stores (an invalid variant removes) the value under its exact name; no old form remains.
  void Put(const char* section, const char* value, const QVariant& stored);
};

}  // namespace corvane
