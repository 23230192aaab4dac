#pragma once
#include "ripper/RipperComponents.h"

namespace corvane {

class CAudioEngine;
class COutputQualityMgmt;
class IUserInterface;
class SettingsStore;

// What the ripper page is given by the application: the user interface, the settings, the shared
// presets, the engine (whose output device the player may share) and how the components are made.
struct RipperPageContext {
  const CAudioEngine* engine = nullptr;
  IUserInterface* ui = nullptr;
  SettingsStore* settings = nullptr;
  COutputQualityMgmt* presets = nullptr;
  ComponentFactories factories;
};

}  // namespace corvane
