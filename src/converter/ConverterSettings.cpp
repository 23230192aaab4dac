#include "converter/ConverterSettings.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"

namespace corvane {
namespace {
const char* const kSection = keys::section::kConvert;
}

ConverterSettings ConverterSettings::Load(SettingsStore& settings) {
  ConverterSettings s;
  s.source_folder_mode = settings.ReadNumberOrStore(kSection, keys::kSourceFolderMode, 1);
  s.default_source_folder = settings.ReadTextOrStore(kSection, keys::kDefaultSourceFolder, QString());
  s.enable_id3v2 = settings.ReadNumberOrStore(kSection, keys::kEnableId3v2, 0);
  s.output_folder_confirmation = settings.ReadNumberOrStore(kSection, keys::kOutputFolderConfirmation, 0) != 0;
  s.confirm_overwrite = settings.ReadNumberOrStore(kSection, keys::kConfirmOverwrite, 1) != 0;
  s.show_success = settings.ReadNumberOrStore(kSection, keys::kShowSuccess, 1) != 0;
  s.auto_open_folder = settings.ReadNumberOrStore(kSection, keys::kAutoOpenFolder, 0) != 0;
  return s;
}

void ConverterSettings::Save(SettingsStore& settings) const {
  settings.WriteNumber(kSection, keys::kSourceFolderMode, source_folder_mode);
  settings.WriteText(kSection, keys::kDefaultSourceFolder, default_source_folder);
  settings.WriteNumber(kSection, keys::kEnableId3v2, enable_id3v2);
  settings.WriteNumber(kSection, keys::kOutputFolderConfirmation, output_folder_confirmation ? 1 : 0);
  settings.WriteNumber(kSection, keys::kConfirmOverwrite, confirm_overwrite ? 1 : 0);
  settings.WriteNumber(kSection, keys::kShowSuccess, show_success ? 1 : 0);
  settings.WriteNumber(kSection, keys::kAutoOpenFolder, auto_open_folder ? 1 : 0);
}

}  // namespace corvane
