#pragma once
#include <QString>

namespace corvane {

class IUserInterface;
class SettingsStore;

// The values of "Convert Entire Folder(s)": the folder, the input type row, the sub-folder box,
// and whether "Add as Files" closed the dialog.
struct LoadFolderChoice {
  QString folder;
  int type_row = 0;
  bool sub_folders = true;
  bool as_files = false;

  // The values the dialog opens with; a missing type (0) and sub-folder flag (1) are written back.
  static LoadFolderChoice Load(SettingsStore& settings);
  // The folder picked with "...", stored at once.
  static void StoreChosenFolder(SettingsStore& settings, const QString& folder);
  // "Add" and "Add as Files": refuses an empty folder with a message (false), else stores the
  // type, the sub-folder flag and the folder (true).
  bool Accept(IUserInterface& ui, SettingsStore& settings) const;
};

}  // namespace corvane
