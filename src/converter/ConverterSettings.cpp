#include "converter/ConverterSettings.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"

namespace corvane {
namespace {
const char* const kSection = keys::section::kConvert;
}

ConverterSettings ConverterSettings::Load() {
  ConverterSettings s;
  s.source_folder_mode = SettingsStore::ReadNumberOrStore(kSection, keys::kSourceFolderMode, 1);
  s.default_source_folder = SettingsStore::ReadTextOrStore(kSection, keys::kDefaultSourceFolder, QString());
  s.enable_id3v2 = SettingsStore::ReadNumberOrStore(kSection, keys::kEnableId3v2, 0);
  s.output_folder_confirmation = SettingsStore::ReadNumberOrStore(kSection, keys::kOutputFolderConfirmation, 0) != 0;
  s.confirm_overwrite = SettingsStore::ReadNumberOrStore(kSection, keys::kConfirmOverwrite, 1) != 0;
  s.show_success = SettingsStore::ReadNumberOrStore(kSection, keys::kShowSuccess, 1) != 0;
  s.auto_open_folder = SettingsStore::ReadNumberOrStore(kSection, keys::kAutoOpenFolder, 0) != 0;
  return s;
}

void ConverterSettings::Save() const {
  SettingsStore::WriteNumber(kSection, keys::kSourceFolderMode, source_folder_mode);
  SettingsStore::WriteText(kSection, keys::kDefaultSourceFolder, default_source_folder);
  SettingsStore::WriteNumber(kSection, keys::kEnableId3v2, enable_id3v2);
  SettingsStore::WriteNumber(kSection, keys::kOutputFolderConfirmation, output_folder_confirmation ? 1 : 0);
  SettingsStore::WriteNumber(kSection, keys::kConfirmOverwrite, confirm_overwrite ? 1 : 0);
  SettingsStore::WriteNumber(kSection, keys::kShowSuccess, show_success ? 1 : 0);
  SettingsStore::WriteNumber(kSection, keys::kAutoOpenFolder, auto_open_folder ? 1 : 0);
}

}  // namespace corvane
