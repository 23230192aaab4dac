#pragma once
#include <QString>
#include <QStringList>
#include <memory>

#include "app/LaunchRequest.h"
#include "common/FileSettings.h"
#include "engine/CAudioEngine.h"
#include "presets/COutputQualityMgmt.h"

namespace corvane {

class IUserInterface;

// The one application object: the settings file, settings root, launch request, program folder, audio engine and
// the shared presets. StartUp prepares all of it in a fixed order; the front end then runs its
// main window, and destruction tears the engine down. Not to be confused with the main window
// (CAudioConverterDlg, app/gui/) or the conversion component (ConversionComponent, components/).
class CAudioConverterApp {
 public:
  explicit CAudioConverterApp(std::unique_ptr<CAudioEngine> engine = std::make_unique<CAudioEngine>());
  ~CAudioConverterApp();
  CAudioConverterApp(const CAudioConverterApp&) = delete;
  CAudioConverterApp& operator=(const CAudioConverterApp&) = delete;

  // Settings root, command line, working directory, program folder, engine binding, presets and
  // output device. False when the program cannot go on (the user was told why).
  bool StartUp(const QStringList& argumentsAfterProgram, IUserInterface& ui);

  const LaunchRequest& Launch() const { return launch_; }
  const QString& WorkingDirectory() const { return working_directory_; }
  const QString& ProgramFolder() const { return program_folder_; }
  CAudioEngine& Engine() { return *engine_; }
  COutputQualityMgmt& Presets() { return presets_; }
  // The settings every part of the window reads and writes.
  SettingsStore& Settings() { return settings_; }

 private:
  FileSettings settings_;
  std::unique_ptr<CAudioEngine> engine_;
  COutputQualityMgmt presets_;
  LaunchRequest launch_;
  QString working_directory_;
  QString program_folder_;
};

}  // namespace corvane
