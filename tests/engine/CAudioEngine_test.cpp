#include <gtest/gtest.h>

#include "engine/CAudioEngine.h"

namespace corvane {
namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value)
      : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
    qputenv(name, value);
  }
  ~ScopedEnv() {
    if (had_)
      qputenv(name_, old_);
    else
      qunsetenv(name_);
  }

 private:
  const char* name_;
  QByteArray old_;
  bool had_;
};

TEST(CAudioEngine, LinkedLibrariesProvideEveryPartButOptimFrog) {
  CAudioEngine engine;
  EXPECT_TRUE(engine.BindAll().Succeeded());
  for (const EngineLibraryInfo& info : kEngineLibraries) {
    EXPECT_TRUE(engine.Bound(info.library)) << info.name;
    EXPECT_EQ(engine.Provides(info.library), info.library != EngineLibrary::OptimFrog) << info.name;
  }
}

TEST(CAudioEngine, AddOnsNeedTheCore) {
  CAudioEngine engine;
  EXPECT_EQ(engine.Bind(EngineLibrary::Flac).code, EngineError::Init);
  EXPECT_FALSE(engine.Bound(EngineLibrary::Flac));
  EXPECT_TRUE(engine.Bind(EngineLibrary::Core).Succeeded());
  EXPECT_TRUE(engine.Bind(EngineLibrary::Flac).Succeeded());
  // Binding the core again starts from nothing.
  EXPECT_TRUE(engine.Bind(EngineLibrary::Core).Succeeded());
  EXPECT_FALSE(engine.Bound(EngineLibrary::Flac));
}

TEST(CAudioEngine, OutputDeviceOpensOnTheDummyDriver) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  CAudioEngine engine;
  EXPECT_EQ(engine.OpenOutputDevice(-1, 44100), 0) << "no device before the core is bound";
  ASSERT_TRUE(engine.Bind(EngineLibrary::Core).Succeeded());
  EXPECT_EQ(engine.OpenOutputDevice(-1, 44100), 1);
  EXPECT_NE(engine.OutputDevice(), 0u);
  EXPECT_EQ(engine.OutputSpec().freq, 44100);
  engine.Teardown();
  EXPECT_EQ(engine.OutputDeviceFlag(), 0);
  EXPECT_FALSE(engine.IsCoreLoaded());
}

TEST(CAudioEngine, NoSoundDeviceLeavesTheFlagClear) {
  CAudioEngine engine;
  ASSERT_TRUE(engine.Bind(EngineLibrary::Core).Succeeded());
  EXPECT_EQ(engine.OpenOutputDevice(0, 44100), 0) << "device 0 is the no-sound device";
  ScopedEnv driver("SDL_AUDIODRIVER", "no-such-audio-driver");
  EXPECT_EQ(engine.OpenOutputDevice(-1, 44100), 0);
  EXPECT_EQ(engine.OutputDevice(), 0u);
  EXPECT_TRUE(engine.IsCoreLoaded());
}

}  // namespace
}  // namespace corvane
