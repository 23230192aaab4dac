#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/CAudioConverterApp.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestSettings.h"

namespace corvane {
namespace {

// A probe that reports one engine part missing, to drive the binding chain.
class FailingProbe final : public IEngineCapabilityProbe {
 public:
  explicit FailingProbe(EngineLibrary failing) : failing_(failing) {}
  ProbeResult Probe(EngineLibrary library) override {
    return library == failing_ ? ProbeResult::Missing : real_.Probe(library);
  }

 private:
  EngineLibrary failing_;
  LinkedLibraryProbe real_;
};

TEST(StartUp, BindsTheEngineAndTakesTheCommandLine) {
  test::TestSettings settings;
  qputenv("SDL_AUDIODRIVER", "dummy");
  test::ScriptedUserInterface ui;
  CAudioConverterApp app;
  ASSERT_TRUE(app.StartUp(
      {QStringLiteral("-a"), QStringLiteral("CONVERT"), QStringLiteral("-s"), QStringLiteral("/some/file.mp3")}, ui));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(app.Launch().mode, LaunchMode::SingleFile);
  EXPECT_EQ(app.Launch().source, QStringLiteral("/some/file.mp3"));
  EXPECT_TRUE(app.Engine().IsCoreLoaded());
  EXPECT_EQ(app.Engine().OutputDeviceFlag(), 1);
  EXPECT_EQ(app.WorkingDirectory(), QDir::currentPath());
  // The folder of the running program, never the working folder: a program planted there is not run.
  EXPECT_EQ(app.ProgramFolder(), QCoreApplication::applicationDirPath());
  EXPECT_FALSE(app.Settings().Contains(keys::section::kConvert, keys::kInstallPath)) << "never written by the program";
}

TEST(StartUp, ProgramFolderComesFromInstallPath) {
  test::TestSettings settings;
  test::ScriptedUserInterface ui;
  CAudioConverterApp app;
  app.Settings().WriteText(keys::section::kConvert, keys::kInstallPath, QStringLiteral("/opt/corvane"));
  ASSERT_TRUE(app.StartUp({}, ui));
  EXPECT_EQ(app.ProgramFolder(), QStringLiteral("/opt/corvane"));
  EXPECT_EQ(app.Launch().mode, LaunchMode::None);
}

TEST(StartUp, KeepsFoldersDeeperThan260CharactersWhole) {
  test::TestSettings settings;
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  QString deep = QDir(root.path()).canonicalPath();
  while (deep.size() <= 300) deep += QStringLiteral("/a-folder-name-of-forty-characters-------");
  ASSERT_TRUE(QDir().mkpath(deep));
  const QString installPath = deep + QStringLiteral("/install");
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(deep));
  test::ScriptedUserInterface ui;
  CAudioConverterApp app;
  app.Settings().WriteText(keys::section::kConvert, keys::kInstallPath, installPath);
  const bool started = app.StartUp({}, ui);
  QDir::setCurrent(previous);
  ASSERT_TRUE(started);
  EXPECT_EQ(app.WorkingDirectory(), deep);
  EXPECT_EQ(app.ProgramFolder(), installPath);
}

TEST(StartUp, FirstMissingEnginePartStopsTheChainWithTheCoreModulesMessage) {
  test::TestSettings settings;
  test::ScriptedUserInterface ui;
  CAudioConverterApp app(std::make_unique<CAudioEngine>(std::make_unique<FailingProbe>(EngineLibrary::Wma)));
  EXPECT_FALSE(app.StartUp({}, ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
  EXPECT_TRUE(ui.messages[0].text.startsWith(
      QStringLiteral("Failed to initialize the core modules, some functions may not work properly.")));
  CAudioEngine& engine = app.Engine();
  EXPECT_TRUE(engine.Attempted(EngineLibrary::Mixer));
  EXPECT_TRUE(engine.Attempted(EngineLibrary::Wma));
  EXPECT_FALSE(engine.Attempted(EngineLibrary::Flac)) << "parts after the failing one are never tried";
  EXPECT_FALSE(engine.Attempted(EngineLibrary::Cd));
  EXPECT_EQ(engine.OutputDeviceFlag(), 0);
}

TEST(StartUp, GoesOnWithoutASoundDevice) {
  test::TestSettings settings;
  qputenv("SDL_AUDIODRIVER", "no-such-audio-driver");
  test::ScriptedUserInterface ui;
  CAudioConverterApp app;
  EXPECT_TRUE(app.StartUp({}, ui));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(app.Engine().OutputDeviceFlag(), 0);
  EXPECT_TRUE(app.Engine().Provides(EngineLibrary::Mixer));
  qputenv("SDL_AUDIODRIVER", "dummy");
}

}  // namespace
}  // namespace corvane
