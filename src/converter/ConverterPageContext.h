#pragma once
#include <QString>

namespace corvane {

class CAudioEngine;
class COutputQualityMgmt;
class IUserInterface;
class SettingsStore;

// What the converter page is given by the application: the engine, the shared presets, where
// the external encoders live and what the command line asked for.
struct ConverterPageContext {
  const CAudioEngine* engine = nullptr;
  COutputQualityMgmt* presets = nullptr;
  IUserInterface* ui = nullptr;
  SettingsStore* settings = nullptr;
  QString program_folder;
  int launch_mode = 0;  // 0 none, 1 one file, 2 a hand-off list, 3 a hand-off list to delete afterwards
  QString launch_source;
};

}  // namespace corvane
