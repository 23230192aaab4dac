#pragma once
#include <QString>

#include "converter/HandOffMode.h"

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
  HandOffMode launch_mode = HandOffMode::None;
  QString launch_source;
};

}  // namespace corvane
