#pragma once
#include <QString>
#include <optional>

namespace corvane {

// The per-user settings: named sections of number and text values, kept by QSettings
// (organisation "Quillon", application "Bexlor"). Every reader goes through here; nothing is
// cached, so a value written by one part of the program is seen by every later reader.
class SettingsStore {
 public:
  static constexpr const char* kOrganisation = "Quillon";
  static constexpr const char* kApplication = "Bexlor";

  // The stored number, or `fallback` when the value is absent or not a number.
  static int ReadNumber(const char* section, const char* value, int fallback);
  // The stored text, or `fallback` when the value is absent.
  static QString ReadText(const char* section, const char* value, const QString& fallback = {});
  static void WriteNumber(const char* section, const char* value, int number);
  static void WriteText(const char* section, const char* value, const QString& text);

  static bool Contains(const char* section, const char* value);
  static std::optional<int> FindNumber(const char* section, const char* value);
  static void Remove(const char* section, const char* value);

  // Readers that own a default write it back at once: a number read as -1 (absent, or -1
  // stored) or an empty text is replaced by `fallback`, which is stored and returned.
  static int ReadNumberOrStore(const char* section, const char* value, int fallback);
  static QString ReadTextOrStore(const char* section, const char* value, const QString& fallback);

  // From now on values written by this process are seen by its own readers but never stored
  // (a command-line run whose options must not become the window's settings).
  static void KeepChangesForThisSession();

  // Full path of the file that holds the settings (its folder is the per-user config folder).
  static QString FilePath();
  static QString FolderPath();
};

}  // namespace corvane
