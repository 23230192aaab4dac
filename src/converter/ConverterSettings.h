#pragma once
#include <QString>

namespace corvane {

class SettingsStore;

// The eight values of the "Converter Settings" dialog. Load writes the default of every missing
// value back at once; Read (for the settings summary, a file's tags, a run) writes nothing; Save
// writes all eight.
struct ConverterSettings {
  static constexpr int kDefaultSourceFolderMode = 1;
  static constexpr int kDefaultEnableId3v2 = 0;
  static constexpr bool kDefaultOutputFolderConfirmation = false;
  static constexpr bool kDefaultConfirmOverwrite = true;
  static constexpr bool kDefaultShowSuccess = true;
  static constexpr bool kDefaultAutoOpenFolder = false;
  static constexpr int kDefaultReplayGain = 0;

  int source_folder_mode = kDefaultSourceFolderMode;  // 0 always the default folder, 1 the last opened folder
  QString default_source_folder;
  int enable_id3v2 = kDefaultEnableId3v2;  // 0 automatic, 1 always, 2 never
  bool output_folder_confirmation = kDefaultOutputFolderConfirmation;
  bool confirm_overwrite = kDefaultConfirmOverwrite;
  bool show_success = kDefaultShowSuccess;
  bool auto_open_folder = kDefaultAutoOpenFolder;
  int replaygain = kDefaultReplayGain;  // ReplayGainMode: 0 off, 1 track, 2 album

  static ConverterSettings Read(const SettingsStore& settings);
  static ConverterSettings Load(SettingsStore& settings);
  void Save(SettingsStore& settings) const;
};

}  // namespace corvane
