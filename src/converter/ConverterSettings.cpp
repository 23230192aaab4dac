#include "converter/ConverterSettings.h"

#include <algorithm>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"

namespace corvane {
namespace {
const char* const kSection = keys::section::kConvert;

// The stored number, or `fallback` when it is absent (-1 counts as absent, as for the readers that
// write the default back).
int Number(const SettingsStore& settings, const char* key, int fallback) {
  const int stored = settings.ReadNumber(kSection, key, -1);
  return stored == -1 ? fallback : stored;
}
}  // namespace

ConverterSettings ConverterSettings::Read(const SettingsStore& settings) {
  ConverterSettings s;
  s.source_folder_mode = Number(settings, keys::kSourceFolderMode, kDefaultSourceFolderMode);
  s.default_source_folder = settings.ReadText(kSection, keys::kDefaultSourceFolder);
  s.enable_id3v2 = Number(settings, keys::kEnableId3v2, kDefaultEnableId3v2);
  s.output_folder_confirmation =
      Number(settings, keys::kOutputFolderConfirmation, kDefaultOutputFolderConfirmation) != 0;
  s.confirm_overwrite = Number(settings, keys::kConfirmOverwrite, kDefaultConfirmOverwrite) != 0;
  s.show_success = Number(settings, keys::kShowSuccess, kDefaultShowSuccess) != 0;
  s.auto_open_folder = Number(settings, keys::kAutoOpenFolder, kDefaultAutoOpenFolder) != 0;
  s.replaygain = std::clamp(Number(settings, keys::kReplayGainMode, kDefaultReplayGain), 0, 2);
  return s;
}

ConverterSettings ConverterSettings::Load(SettingsStore& settings) {
  settings.ReadNumberOrStore(kSection, keys::kSourceFolderMode, kDefaultSourceFolderMode);
  settings.ReadTextOrStore(kSection, keys::kDefaultSourceFolder, QString());
  settings.ReadNumberOrStore(kSection, keys::kEnableId3v2, kDefaultEnableId3v2);
  settings.ReadNumberOrStore(kSection, keys::kOutputFolderConfirmation, kDefaultOutputFolderConfirmation);
  settings.ReadNumberOrStore(kSection, keys::kConfirmOverwrite, kDefaultConfirmOverwrite);
  settings.ReadNumberOrStore(kSection, keys::kShowSuccess, kDefaultShowSuccess);
  settings.ReadNumberOrStore(kSection, keys::kAutoOpenFolder, kDefaultAutoOpenFolder);
  settings.ReadNumberOrStore(kSection, keys::kReplayGainMode, kDefaultReplayGain);
  return Read(settings);
}

void ConverterSettings::Save(SettingsStore& settings) const {
  settings.WriteNumber(kSection, keys::kSourceFolderMode, source_folder_mode);
  settings.WriteText(kSection, keys::kDefaultSourceFolder, default_source_folder);
  settings.WriteNumber(kSection, keys::kEnableId3v2, enable_id3v2);
  settings.WriteNumber(kSection, keys::kOutputFolderConfirmation, output_folder_confirmation ? 1 : 0);
  settings.WriteNumber(kSection, keys::kConfirmOverwrite, confirm_overwrite ? 1 : 0);
  settings.WriteNumber(kSection, keys::kShowSuccess, show_success ? 1 : 0);
  settings.WriteNumber(kSection, keys::kAutoOpenFolder, auto_open_folder ? 1 : 0);
  settings.WriteNumber(kSection, keys::kReplayGainMode, replaygain);
}

}  // namespace corvane
