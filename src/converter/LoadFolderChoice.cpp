#include "converter/LoadFolderChoice.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"

namespace corvane {

LoadFolderChoice LoadFolderChoice::Load(SettingsStore& settings) {
  LoadFolderChoice choice;
  choice.folder = settings.ReadText(keys::section::kConvert, keys::kLastLoadedFolder);
  choice.type_row = settings.ReadNumberOrStore(keys::section::kConvert, keys::kLoadFolderAudioType, 0);
  choice.sub_folders = settings.ReadNumberOrStore(keys::section::kConvert, keys::kSubFolders, 1) != 0;
  return choice;
}

void LoadFolderChoice::StoreChosenFolder(SettingsStore& settings, const QString& folder) {
  settings.WriteText(keys::section::kConvert, keys::kLastLoadedFolder, folder);
}

bool LoadFolderChoice::Accept(IUserInterface& ui, SettingsStore& settings) const {
  if (folder.isEmpty()) {
    ui.ShowMessage(StringTable::Text(text::kLoadFolderRefusal), MessageIcon::Warning, MessageButtons::Ok);
    return false;
  }
  settings.WriteNumber(keys::section::kConvert, keys::kLoadFolderAudioType, type_row);
  settings.WriteNumber(keys::section::kConvert, keys::kSubFolders, sub_folders ? 1 : 0);
  settings.WriteText(keys::section::kConvert, keys::kLastLoadedFolder, folder);
  return true;
}

}  // namespace corvane
