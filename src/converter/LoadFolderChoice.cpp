#include "converter/LoadFolderChoice.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"

namespace corvane {

LoadFolderChoice LoadFolderChoice::Load() {
  LoadFolderChoice choice;
  choice.folder = SettingsStore::ReadText(keys::section::kConvert, keys::kLastLoadedFolder);
  choice.type_row = SettingsStore::ReadNumberOrStore(keys::section::kConvert, keys::kLoadFolderAudioType, 0);
  choice.sub_folders = SettingsStore::ReadNumberOrStore(keys::section::kConvert, keys::kSubFolders, 1) != 0;
  return choice;
}

void LoadFolderChoice::StoreChosenFolder(const QString& folder) {
  SettingsStore::WriteText(keys::section::kConvert, keys::kLastLoadedFolder, folder);
}

bool LoadFolderChoice::Accept(IUserInterface& ui) const {
  if (folder.isEmpty()) {
    ui.ShowMessage(StringTable::Text(text::kLoadFolderRefusal), MessageIcon::Warning, MessageButtons::Ok);
    return false;
  }
  SettingsStore::WriteNumber(keys::section::kConvert, keys::kLoadFolderAudioType, type_row);
  SettingsStore::WriteNumber(keys::section::kConvert, keys::kSubFolders, sub_folders ? 1 : 0);
  SettingsStore::WriteText(keys::section::kConvert, keys::kLastLoadedFolder, folder);
  return true;
}

}  // namespace corvane
