#pragma once
#include <QStringList>

class QWidget;

namespace corvane {

class SettingsStore;

// The add-files dialog: several files, opened in the folder the settings name, with the source
// file filters.
class SourceFileDialog {
 public:
  // The filters as the file dialog takes them. Each shows its own description; the patterns
  // behind it come in both letter cases, since file systems here tell "a.MP3" from "a.mp3".
  static QStringList NameFilters();
  // Shows the dialog; the chosen files, or none when cancelled.
  static QStringList Choose(const SettingsStore& settings, QWidget* parent);
};

}  // namespace corvane
