#include "app/CAudioConverterApp.h"

#include <QCoreApplication>
#include <QDir>

#include "common/ProgramFolder.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ShellText.h"

namespace corvane {
namespace {

constexpr int kDefaultDevice = -1;
constexpr int kDeviceFrequency = 44100;

}  // namespace

CAudioConverterApp::CAudioConverterApp(std::unique_ptr<CAudioEngine> engine)
    : engine_(std::move(engine)), presets_(settings_) {}

CAudioConverterApp::~CAudioConverterApp() { engine_->Teardown(); }

bool CAudioConverterApp::StartUp(const QStringList& argumentsAfterProgram, IUserInterface& ui) {
  QCoreApplication::setOrganizationName(QString::fromLatin1(SettingsStore::kOrganisation));
  QCoreApplication::setApplicationName(QString::fromLatin1(SettingsStore::kApplication));

  launch_ = LaunchRequest::Parse(LaunchRequest::JoinArguments(argumentsAfterProgram));
  working_directory_ = QDir::currentPath();
  program_folder_ = corvane::ProgramFolder(settings_);

  // The conversion and tag components are linked into the program: nothing to register.

  if (engine_->BindAll().Failed()) {
    ui.ShowMessage(StringTable::Text(text::kCoreModulesFailed), MessageIcon::Error, MessageButtons::Ok);
    return false;
  }

  presets_.Load(QString(), ui);

  // Without a sound device the program still converts and rips; only playback is unavailable.
  if (engine_->IsCoreLoaded()) engine_->OpenOutputDevice(kDefaultDevice, kDeviceFrequency);
  return true;
}

}  // namespace corvane
