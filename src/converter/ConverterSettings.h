#pragma once
#include <QString>

namespace corvane {

class SettingsStore;

// The seven values of the "Converter Settings" dialog. Load writes the default of every missing
// value back at once; Save writes all seven.
struct ConverterSettings {
  int source_folder_mode = 1;  // 0 always the default folder, 1 the last opened folder
  QString default_source_folder;
  int enable_id3v2 = 0;  // 0 automatic, 1 always, 2 never
  bool output_folder_confirmation = false;
  bool confirm_overwrite = true;
  bool show_success = true;
  bool auto_open_folder = false;

  static ConverterSettings Load(SettingsStore& settings);
  void Save(SettingsStore& settings) const;
};

}  // namespace corvane
