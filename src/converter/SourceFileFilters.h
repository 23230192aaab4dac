#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace corvane {

class SettingsStore;

// One entry of the add-files dialog's filter list: its description and the patterns it names.
struct SourceFileFilter {
  QString description;
  QStringList patterns;  // "*.mp3" ...; "*" for all files
};

// The add-files dialog: its title, its filters in order, and the folder it opens in ("Last
// Source Folder" when "Source Folder Mode" is set, else "Default Source Folder").
QString AddFilesDialogTitle();
std::vector<SourceFileFilter> SourceFileFilters();
QString AddFilesStartFolder(const SettingsStore& settings);

}  // namespace corvane
