// The player component on SDL's dummy driver, which takes samples from the queue in real time.
// Every wait is on the player's own events, with ceilings far above any load.
#include "components/player/SdlCdPlayer.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <algorithm>
#include <functional>
#include <vector>

#include "components/CAudioPlayer2Events.h"
#include "engine/CAudioEngine.h"

using namespace corvane;

namespace {

constexpr qint64 kCeilingMs = 60000;

// Feeds the player from a block of PCM one buffer per request, then the empty end buffer, and
// records what the sink hands on.
class FeedingHandler : public IAudioPlayer2EventHandler {
 public:
  FeedingHandler(IAudioPlayer2& player, QByteArray pcm) : player_(player), pcm_(std::move(pcm)) {}

  void OnFeedRequest() override {
    ++feed_requests;
    if (!feeding || end_written_) return;
    const QByteArray buffer = pcm_.mid(offset_, SdlCdPlayer::kBufferBytes);
    offset_ += buffer.size();
    end_written_ = buffer.isEmpty();
    write_results.push_back(player_.WriteBuffer(buffer).code);
  }
  void OnPosition(qint64 frames) override { positions.push_back(frames); }
  void OnPlaybackEnded() override {
    if (++ended == 1) positions_at_end = positions.size();
  }

  bool feeding = true;
  int feed_requests = 0;
  int ended = 0;
  std::size_t positions_at_end = 0;
  std::vector<qint64> positions;
  std::vector<PlayerErrorCode> write_results;

 private:
  IAudioPlayer2& player_;
  QByteArray pcm_;
  qint64 offset_ = 0;
  bool end_written_ = false;
};

// A PCM block of `frames` 16-bit stereo frames: a ramp, so that no two buffers are alike.
QByteArray Pcm(qint64 frames) {
  QByteArray pcm(frames * SdlCdPlayer::kFrameBytes, Qt::Uninitialized);
  for (qint64 i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<char>(i * 7);
  return pcm;
}

// Runs the event loop until `done` holds; false when the ceiling passed first.
bool RunUntil(const std::function<bool()>& done) {
  QDeadlineTimer deadline(kCeilingMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return true;
}

TEST(SdlCdPlayerTest, PlaysFedBuffersToTheEndAndLeavesTheConvertersAudioAlone) {
  // The converter's engine holds SDL's audio too (its device closed: SDL's dummy driver has
  // room for one output device only).
  CAudioEngine engine;
  ASSERT_TRUE(engine.BindAll().Succeeded());
  ASSERT_EQ(engine.OpenOutputDevice(-1, 44100), 1);
  ASSERT_EQ(engine.OpenOutputDevice(0, 44100), 0);

  const qint64 frames = 3 * SdlCdPlayer::kBufferBytes / SdlCdPlayer::kFrameBytes + 1000;
  {
    std::unique_ptr<IAudioPlayer2> player = CreateAudioPlayer2();
    ASSERT_TRUE(player);
    FeedingHandler handler(*player, Pcm(frames));
    CAudioPlayer2Events sink(handler);
    sink.Advise(*player);
    const PlayerResult started = player->StartPlay();
    ASSERT_TRUE(started.Succeeded()) << started.text.toStdString();

    ASSERT_TRUE(RunUntil([&] { return handler.ended > 0; }));
    // The end is reported once: later ticks go on reporting the final position only.
    ASSERT_TRUE(RunUntil([&] { return handler.positions.size() >= handler.positions_at_end + 3; }));
    EXPECT_EQ(handler.ended, 1);
    EXPECT_EQ(handler.write_results,
              std::vector<PlayerErrorCode>(5, PlayerErrorCode::Ok));  // four buffers, then the end
    EXPECT_TRUE(std::is_sorted(handler.positions.begin(), handler.positions.end()));
    EXPECT_GT(std::count_if(handler.positions.begin(), handler.positions.end(),
                            [&](qint64 p) { return p > 0 && p < frames; }),
              0);
    EXPECT_EQ(handler.positions.back(), frames);
    EXPECT_EQ(player->PositionToMs(handler.positions.back()), frames * 1000 / 44100);
    EXPECT_TRUE(player->StopPlay().Succeeded());
  }
  EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);  // the engine's reference is still held
  EXPECT_EQ(engine.OpenOutputDevice(-1, 44100), 1);
}

TEST(SdlCdPlayerTest, ResetPlayCountsFromZeroAndAsksForBuffersAgain) {
  std::unique_ptr<IAudioPlayer2> player = CreateAudioPlayer2();
  FeedingHandler handler(*player, Pcm(20 * SdlCdPlayer::kBufferBytes / SdlCdPlayer::kFrameBytes));
  CAudioPlayer2Events sink(handler);
  sink.Advise(*player);
  ASSERT_TRUE(player->StartPlay().Succeeded());
  ASSERT_TRUE(RunUntil([&] { return !handler.positions.empty() && handler.positions.back() > 0; }));

  handler.feeding = false;
  ASSERT_TRUE(player->ResetPlay().Succeeded());
  const int requestsBefore = handler.feed_requests;
  // Reports posted before the reset may still arrive; from the first 0 on, nothing was heard.
  const std::size_t fromReset = handler.positions.size();
  ASSERT_TRUE(RunUntil([&] {
    return std::find(handler.positions.begin() + static_cast<std::ptrdiff_t>(fromReset), handler.positions.end(), 0) !=
           handler.positions.end();
  }));
  const auto firstZero =
      std::find(handler.positions.begin() + static_cast<std::ptrdiff_t>(fromReset), handler.positions.end(), 0);
  const std::size_t zeroAt = static_cast<std::size_t>(firstZero - handler.positions.begin());
  ASSERT_TRUE(
      RunUntil([&] { return handler.positions.size() >= zeroAt + 3 && handler.feed_requests > requestsBefore + 2; }));
  for (std::size_t i = zeroAt; i < handler.positions.size(); ++i) EXPECT_EQ(handler.positions[i], 0) << i;
  EXPECT_EQ(handler.ended, 0);
}

TEST(SdlCdPlayerTest, RefusesWritesOutsidePlaybackAndHalfFrames) {
  std::unique_ptr<IAudioPlayer2> player = CreateAudioPlayer2();
  EXPECT_EQ(player->WriteBuffer(Pcm(10)).code, PlayerErrorCode::NotStarted);
  EXPECT_EQ(player->ResetPlay().code, PlayerErrorCode::NotStarted);
  EXPECT_TRUE(player->StopPlay().Succeeded());  // stopping what never started does nothing

  ASSERT_TRUE(player->StartPlay().Succeeded());
  for (int bytes : {1, 2, 3, 4 * 26 + 2}) {
    EXPECT_EQ(player->WriteBuffer(QByteArray(bytes, '\0')).code, PlayerErrorCode::BadBuffer) << bytes;
  }
  EXPECT_TRUE(player->WriteBuffer(Pcm(10)).Succeeded());
  EXPECT_TRUE(player->StopPlay().Succeeded());
  EXPECT_EQ(player->WriteBuffer(Pcm(10)).code, PlayerErrorCode::NotStarted);

  EXPECT_EQ(player->PositionToMs(44100), 1000);
  EXPECT_EQ(player->PositionToMs(22050 + 44), 500);
  EXPECT_EQ(player->PositionToMs(44100LL * 3600 * 30), 3600LL * 30 * 1000);  // no overflow on long runs
}

TEST(SdlCdPlayerTest, BorrowsTheSharedDeviceWhenTheDriverOpensNoSecondOne) {
  // SDL's dummy driver has room for one output device, which the converter's engine holds.
  CAudioEngine engine;
  ASSERT_TRUE(engine.BindAll().Succeeded());
  ASSERT_EQ(engine.OpenOutputDevice(-1, 44100), 1);
  const qint64 frames = SdlCdPlayer::kBufferBytes / SdlCdPlayer::kFrameBytes + 500;
  {
    std::unique_ptr<IAudioPlayer2> player = CreateAudioPlayer2(engine.OutputDevice());
    FeedingHandler handler(*player, Pcm(frames));
    CAudioPlayer2Events sink(handler);
    sink.Advise(*player);
    const PlayerResult started = player->StartPlay();
    ASSERT_TRUE(started.Succeeded()) << started.text.toStdString();
    ASSERT_TRUE(RunUntil([&] { return handler.ended > 0; }));
    EXPECT_EQ(handler.positions.back(), frames);
    EXPECT_TRUE(player->StopPlay().Succeeded());
  }
  // The engine's device outlives the player that borrowed it.
  EXPECT_NE(SDL_GetAudioDeviceStatus(engine.OutputDevice()), SDL_AUDIO_STOPPED);
}

TEST(SdlCdPlayerTest, WithoutASoundDeviceStartPlayFailsButCreationDoesNot) {
  // Earlier tests let go of SDL's audio; with a driver that does not exist it cannot start.
  ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
  qputenv("SDL_AUDIODRIVER", "no-such-driver");
  std::unique_ptr<IAudioPlayer2> player = CreateAudioPlayer2();
  ASSERT_TRUE(player);
  const PlayerResult started = player->StartPlay();
  qputenv("SDL_AUDIODRIVER", driver);
  EXPECT_EQ(started.code, PlayerErrorCode::NoDevice);
  EXPECT_FALSE(started.text.isEmpty());
  EXPECT_EQ(player->WriteBuffer(Pcm(10)).code, PlayerErrorCode::NotStarted);
}

}  // namespace
