#pragma once
#include "ripper/RipperComponents.h"

namespace corvane {

class COutputQualityMgmt;
class IUserInterface;
class SettingsStore;

// What the ripper page is given by the application: the user interface, the settings, the shared
// presets and how its components are made.
struct RipperPageContext {
  IUserInterface* ui = nullptr;
  SettingsStore* settings = nullptr;
  COutputQualityMgmt* presets = nullptr;
  ComponentFactories factories;
};

}  // namespace corvane
