// The player on the dummy SDL driver, which takes samples from the queue in real time.
#include "engine/AudioPlayer.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "engine/AudioFileServices.h"
#include "engine/CAudioEngine.h"
#include "support/SourceFixtures.h"

using namespace corvane;
using namespace std::chrono_literals;

namespace {

class AudioPlayerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(engine_.BindAll().Succeeded());
    ASSERT_EQ(engine_.OpenOutputDevice(-1, 44100), 1);
  }

  // A tone at a rate and channel count other than the device's, so the mixer has work to do.
  QString Tone(double seconds) {
    const QString path = dir_.filePath(QStringLiteral("tone.wav"));
    test::MakeTone(path, seconds, 22050, 1);
    return path;
  }

  EngineResult<std::unique_ptr<AudioPlayer>> PlayerFor(const QString& path, DecodeStream::Mode mode) {
    EngineResult<std::unique_ptr<DecodeStream>> opened = DecodeStream::Open(path, mode);
    EXPECT_TRUE(opened.Succeeded());
    return AudioPlayer::Create(engine_, std::move(opened.value).value_or(nullptr));
  }

  qint64 QueuedBytes() const { return static_cast<qint64>(SDL_GetQueuedAudioSize(engine_.OutputDevice())); }

  // Waits until the device has taken something from its queue (it plays in real time on its own
  // thread), with a ceiling far above any load; the amount queued before is `before`.
  bool WaitForDeviceToTake(qint64 before) const {
    const auto ceiling = std::chrono::steady_clock::now() + 60s;
    for (qint64 queued = QueuedBytes(); queued >= before && queued > 0; queued = QueuedBytes()) {
      if (std::chrono::steady_clock::now() > ceiling) return false;
      std::this_thread::sleep_for(5ms);
    }
    return true;
  }

  // The device's format: 16-bit stereo at 44100 Hz.
  static qint64 BytesToMs(qint64 bytes) { return bytes * 1000 / (44100 * 4); }

  QTemporaryDir dir_;
  CAudioEngine engine_;
};

TEST_F(AudioPlayerTest, PositionCountsWhatWasHeardNotWhatWasQueued) {
  EngineResult<std::unique_ptr<AudioPlayer>> created = PlayerFor(Tone(1.5), DecodeStream::Mode::Playback);
  ASSERT_TRUE(created.Succeeded()) << ToCode(created.status.code);
  std::unique_ptr<AudioPlayer> player = std::move(*created.value);
  EXPECT_EQ(player->LengthMs(), 1500);
  EXPECT_EQ(player->PositionMs(), 0);

  ASSERT_TRUE(player->Play());
  // About a second is queued at once; the position is what the device has taken of it since.
  const qint64 queuedAtStart = QueuedBytes();
  ASSERT_GT(queuedAtStart, 0);
  ASSERT_TRUE(WaitForDeviceToTake(queuedAtStart));
  const qint64 queuedBefore = QueuedBytes();
  const qint64 heard = player->PositionMs();
  const qint64 queuedAfter = QueuedBytes();
  EXPECT_GE(heard, BytesToMs(queuedAtStart - queuedBefore) - 1);
  EXPECT_LE(heard, BytesToMs(queuedAtStart - queuedAfter) + 1);
  EXPECT_TRUE(player->IsActive());

  player->Pause();
  EXPECT_EQ(SDL_GetAudioDeviceStatus(engine_.OutputDevice()), SDL_AUDIO_PAUSED);
  const qint64 paused = player->PositionMs();
  player->Service();
  EXPECT_EQ(player->PositionMs(), paused) << "a paused player moved";

  ASSERT_TRUE(player->SeekMs(1200));
  EXPECT_EQ(player->PositionMs(), 1200);
  ASSERT_TRUE(player->Play());
  const auto ceiling = std::chrono::steady_clock::now() + 60s;
  while (player->IsActive() && std::chrono::steady_clock::now() < ceiling) {
    std::this_thread::sleep_for(10ms);
    player->Service();
  }
  EXPECT_FALSE(player->IsActive()) << "the end of the stream was not noticed";
  EXPECT_EQ(player->PositionMs(), 1500);
  EXPECT_EQ(player->LastError(), EngineError::Ok);
}

TEST_F(AudioPlayerTest, StopKeepsThePlaceAndSeekingToTheEndEndsAtOnce) {
  auto player = PlayerFor(Tone(1.0), DecodeStream::Mode::Playback).value.value_or(nullptr);
  ASSERT_TRUE(player);
  ASSERT_TRUE(player->SeekMs(500));
  ASSERT_TRUE(player->Play());
  ASSERT_TRUE(WaitForDeviceToTake(QueuedBytes()));
  player->Stop();
  const qint64 stoppedAt = player->PositionMs();
  EXPECT_GT(stoppedAt, 500);
  EXPECT_LE(stoppedAt, 1000);
  player->Service();
  EXPECT_EQ(player->PositionMs(), stoppedAt) << "a stopped player moved";
  EXPECT_FALSE(player->IsPlaying());
  EXPECT_EQ(SDL_GetQueuedAudioSize(engine_.OutputDevice()), 0u) << "stop leaves samples queued";

  ASSERT_TRUE(player->SeekMs(5000));
  EXPECT_EQ(player->PositionMs(), 1000);
  EXPECT_FALSE(player->IsActive());
}

TEST_F(AudioPlayerTest, RefusesDecodeOnlyStreamsAndMissingDevice) {
  const QString path = Tone(0.5);
  EXPECT_EQ(PlayerFor(path, DecodeStream::Mode::Decode).status.code, EngineError::Decode);

  CAudioEngine silent;
  ASSERT_TRUE(silent.BindAll().Succeeded());
  ASSERT_EQ(silent.OpenOutputDevice(0, 44100), 0);
  std::unique_ptr<DecodeStream> stream;
  qint64 size = 0;
  // Without a device the services open for decoding only, so the player says "not playable".
  ASSERT_TRUE(AudioFileServices::OpenPlaybackStream(silent, path, stream, size).Succeeded());
  EXPECT_EQ(AudioPlayer::Create(silent, std::move(stream)).status.code, EngineError::Decode);

  auto playable = DecodeStream::Open(path, DecodeStream::Mode::Playback).value.value_or(nullptr);
  ASSERT_TRUE(playable);
  EXPECT_EQ(AudioPlayer::Create(silent, std::move(playable)).status.code, EngineError::Init);
}

}  // namespace
