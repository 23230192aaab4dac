// Source playback through the real engine on the dummy SDL driver, watched through a recording
// view and the scripted user interface.
#include "converter/PlaybackController.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "engine/CAudioEngine.h"
#include "support/QtPrinters.h"
#include "support/ScriptedUserInterface.h"
#include "support/SourceFixtures.h"

using namespace corvane;
using namespace std::chrono_literals;

namespace {

struct RecordingView final : IPlaybackView {
  QString button_text = QStringLiteral("Play");
  QString tool_tip;
  PlaybackIcon icon = PlaybackIcon::Play;
  int slider = 0;
  bool slider_visible = true;
  QString position;
  int timer_interval = 0;  // 0 while the timer is stopped

  void SetButtonText(const QString& text) override { button_text = text; }
  void SetButtonToolTip(const QString& text) override { tool_tip = text; }
  void SetButtonIcon(PlaybackIcon value) override { icon = value; }
  void SetSliderValue(int value) override { slider = value; }
  void SetSliderVisible(bool visible) override { slider_visible = visible; }
  void SetPositionText(const QString& text) override { position = text; }
  void StartTimer(int intervalMs) override { timer_interval = intervalMs; }
  void StopTimer() override { timer_interval = 0; }
};

// A well-formed WAV header (16-bit stereo, 44100 Hz) whose data chunk holds nothing.
QByteArray EmptyWav() {
  QByteArray wav;
  const auto add32 = [&wav](quint32 v) {
    for (int i = 0; i < 4; ++i) wav.append(static_cast<char>(v >> (8 * i)));
  };
  const auto add16 = [&wav](quint16 v) {
    for (int i = 0; i < 2; ++i) wav.append(static_cast<char>(v >> (8 * i)));
  };
  wav.append("RIFF");
  add32(36);
  wav.append("WAVEfmt ");
  add32(16);
  add16(1);
  add16(2);
  add32(44100);
  add32(44100 * 4);
  add16(4);
  add16(16);
  wav.append("data");
  add32(0);
  return wav;
}

class PlaybackControllerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(engine_.BindAll().Succeeded());
    ASSERT_EQ(engine_.OpenOutputDevice(-1, 44100), 1);
    song_ = dir_.filePath(QStringLiteral("song.wav"));
    test::MakeTone(song_, 5.0, 44100, 2);
  }

  // Runs timer ticks, as the page's timer would, until `done` holds; false when it never does
  // within a ceiling far above any playing time here. The device plays in real time, so how
  // many ticks that takes depends on the machine's load, never asserted.
  template <typename Predicate>
  bool TickUntil(Predicate done) {
    const auto ceiling = std::chrono::steady_clock::now() + 60s;
    while (!done()) {
      if (std::chrono::steady_clock::now() > ceiling) return false;
      std::this_thread::sleep_for(10ms);
      controller_.OnTimer();
    }
    return true;
  }

  void ExpectStopped() {
    EXPECT_FALSE(controller_.IsPlaying());
    EXPECT_EQ(view_.button_text, QStringLiteral("Play"));
    EXPECT_EQ(view_.icon, PlaybackIcon::Play);
    EXPECT_EQ(view_.timer_interval, 0);
    EXPECT_EQ(SDL_GetAudioDeviceStatus(engine_.OutputDevice()), SDL_AUDIO_PAUSED) << "the device still plays";
  }

  QTemporaryDir dir_;
  CAudioEngine engine_;
  test::ScriptedUserInterface ui_;
  RecordingView view_;
  PlaybackController controller_{engine_, ui_, view_};
  QString song_;
};

TEST_F(PlaybackControllerTest, F2TwiceStartsAndStopsAndEveryStartBeginsAtTheStart) {
  controller_.PlaySelected(PlaybackRowKind::File, song_);
  ASSERT_TRUE(controller_.IsPlaying()) << ui_.MessageTexts().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(view_.button_text, QStringLiteral("Stop"));
  EXPECT_EQ(view_.icon, PlaybackIcon::Stop);
  EXPECT_EQ(view_.timer_interval, 100);
  EXPECT_EQ(controller_.LengthMs(), 5000);
  EXPECT_EQ(controller_.LoadedPath(), song_);

  EXPECT_TRUE(TickUntil([this] { return view_.slider > 0; })) << "the slider follows playback";
  EXPECT_EQ(view_.position.right(7), QStringLiteral("0:00:05"));

  // Move on during playback: that becomes the place this playback "started" from.
  controller_.Seek(16000);
  EXPECT_TRUE(TickUntil([this] { return view_.slider > 16000; }));

  controller_.PlaySelected(PlaybackRowKind::File, song_);
  ExpectStopped();
  EXPECT_EQ(view_.slider, 16000) << "the slider returns to where that playback started";
  EXPECT_EQ(view_.position, QStringLiteral("0:00:02 / 0:00:05"));

  controller_.PlaySelected(PlaybackRowKind::File, song_);
  ASSERT_TRUE(controller_.IsPlaying());
  EXPECT_EQ(view_.slider, 0);
  EXPECT_EQ(controller_.SavedPosition(), 0);
  EXPECT_LT(controller_.PlayerPositionMs(), 2500) << "the next start is from the beginning";
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(PlaybackControllerTest, SeekingWhileStoppedOnlyChangesTheText) {
  controller_.PlaySelected(PlaybackRowKind::File, song_);
  controller_.PlaySelected(PlaybackRowKind::File, song_);
  ExpectStopped();

  controller_.Seek(24000);
  EXPECT_EQ(view_.position, QStringLiteral("0:00:03 / 0:00:05"));  // 3750 ms
  EXPECT_FALSE(controller_.IsPlaying());
  EXPECT_EQ(view_.timer_interval, 0);
  EXPECT_EQ(view_.button_text, QStringLiteral("Play"));
  controller_.OnTimer();
  EXPECT_EQ(view_.position, QStringLiteral("0:00:03 / 0:00:05")) << "a stopped timer tick changed something";
}

TEST_F(PlaybackControllerTest, SeekingWhilePlayingContinuesFromThere) {
  controller_.PlaySelected(PlaybackRowKind::File, song_);
  ASSERT_TRUE(controller_.IsPlaying());
  controller_.Seek(16000);  // 2500 ms of 5000
  EXPECT_GE(controller_.PlayerPositionMs(), 2490);
  EXPECT_LE(controller_.PlayerPositionMs(), 5000);
  EXPECT_EQ(view_.position, QStringLiteral("0:00:02 / 0:00:05"));
  EXPECT_EQ(controller_.SavedPosition(), 16000);
  EXPECT_TRUE(TickUntil([this] { return view_.slider > 16000; }));
  EXPECT_GT(controller_.PlayerPositionMs(), 2500);
}

TEST_F(PlaybackControllerTest, EndOfFileReturnsToPlayWithTheSliderAtZero) {
  controller_.PlaySelected(PlaybackRowKind::File, song_);
  ASSERT_TRUE(controller_.IsPlaying());
  const auto start = std::chrono::steady_clock::now();
  controller_.Seek(24000);  // from 3750 ms: 1250 ms are left to hear, a second of it queued at once
  ASSERT_TRUE(TickUntil([this] { return !controller_.IsPlaying(); }));
  ExpectStopped();
  EXPECT_EQ(view_.slider, 0);
  EXPECT_EQ(controller_.SavedPosition(), 0);
  EXPECT_EQ(view_.position, QStringLiteral("0:00:00 / 0:00:05"));
  // The end is the end of what was heard, not of what was queued ahead. The device cannot play
  // faster than real time, so this lower bound holds however loaded the machine is.
  EXPECT_GE(std::chrono::steady_clock::now() - start, 1150ms);
}

TEST_F(PlaybackControllerTest, FolderRowsOpenTheFolderAndSetTheButtonUp) {
  const QString folder = dir_.path();
  controller_.UpdateSelection(PlaybackRowKind::Folder, folder);
  EXPECT_EQ(view_.button_text, QStringLiteral("Open"));
  EXPECT_EQ(view_.tool_tip, QStringLiteral("Open folder"));
  EXPECT_EQ(view_.icon, PlaybackIcon::Folder);
  EXPECT_FALSE(view_.slider_visible);
  EXPECT_EQ(view_.position, QStringLiteral("0:00:00 / 0:00:00"));

  controller_.PlaySelected(PlaybackRowKind::Folder, folder);
  EXPECT_EQ(ui_.opened_paths, QStringList{folder});
  EXPECT_FALSE(controller_.IsPlaying());
  EXPECT_TRUE(controller_.LoadedPath().isEmpty());

  controller_.UpdateSelection(PlaybackRowKind::File, song_);
  EXPECT_EQ(view_.button_text, QStringLiteral("Play"));
  EXPECT_EQ(view_.tool_tip, QStringLiteral("(F2) Play source audio file"));
  EXPECT_EQ(view_.icon, PlaybackIcon::Play);
  EXPECT_TRUE(view_.slider_visible);
}

TEST_F(PlaybackControllerTest, SelectionKeepsTheSliderOnlyForTheLoadedFile) {
  const QString other = dir_.filePath(QStringLiteral("Song.wav"));
  ASSERT_TRUE(QFile::copy(song_, other));
  controller_.PlaySelected(PlaybackRowKind::File, song_);
  controller_.Seek(16000);
  controller_.PlaySelected(PlaybackRowKind::File, song_);
  ASSERT_EQ(view_.slider, 16000);

  // While playing nothing changes; here it is stopped.
  controller_.UpdateSelection(PlaybackRowKind::File, QDir(dir_.path()).filePath(QStringLiteral("./song.wav")));
  EXPECT_EQ(view_.slider, 16000) << "the same file, spelt another way";
  // Letter case tells files apart here.
  controller_.UpdateSelection(PlaybackRowKind::File, other);
  EXPECT_EQ(view_.slider, 0);

  controller_.PlaySelected(PlaybackRowKind::File, song_);
  controller_.UpdateSelection(PlaybackRowKind::Folder, dir_.path());
  EXPECT_EQ(view_.button_text, QStringLiteral("Stop")) << "selection changes nothing while playing";
  EXPECT_TRUE(view_.slider_visible);
}

TEST_F(PlaybackControllerTest, AnotherFileWhilePlayingStopsAndTheNextPressPlaysIt) {
  const QString other = dir_.filePath(QStringLiteral("other.wav"));
  test::MakeTone(other, 3.0, 22050, 1);
  controller_.PlaySelected(PlaybackRowKind::File, song_);
  controller_.Seek(16000);
  controller_.PlaySelected(PlaybackRowKind::File, other);
  ExpectStopped();
  EXPECT_EQ(controller_.LoadedPath(), other);
  EXPECT_EQ(view_.slider, 0);
  EXPECT_EQ(view_.position, QStringLiteral("0:00:00 / 0:00:03"));
  controller_.PlaySelected(PlaybackRowKind::File, other);
  ASSERT_TRUE(controller_.IsPlaying());
  EXPECT_EQ(controller_.LengthMs(), 3000);
  EXPECT_LT(controller_.PlayerPositionMs(), 2500) << "the second file starts at its beginning";

  // A file that fails to load while another plays leaves nothing running.
  const QString broken = dir_.filePath(QStringLiteral("broken.wav"));
  ASSERT_TRUE(test::WriteAll(broken, QByteArray("RIFF this is not audio at all", 29)));
  controller_.PlaySelected(PlaybackRowKind::File, broken);
  ExpectStopped();
  ASSERT_EQ(ui_.messages.size(), 1u);
}

TEST_F(PlaybackControllerTest, RemovingThePlayingRowStopsAndResetsTheSlider) {
  controller_.PlaySelected(PlaybackRowKind::File, song_);
  controller_.Seek(16000);
  controller_.StopIfLoaded(dir_.filePath(QStringLiteral("other.wav")));
  EXPECT_TRUE(controller_.IsPlaying()) << "another row's removal stopped playback";

  controller_.StopIfLoaded(song_);
  ExpectStopped();
  EXPECT_EQ(view_.slider, 0);
  EXPECT_EQ(controller_.SavedPosition(), 0);

  controller_.PlaySelected(PlaybackRowKind::File, song_);
  controller_.Seek(16000);
  controller_.StopAll();
  ExpectStopped();
  EXPECT_EQ(view_.slider, 0);
}

TEST_F(PlaybackControllerTest, UnplayableFilesGiveTheLoadErrorReport) {
  const QString text = dir_.filePath(QStringLiteral("notes.wav"));
  ASSERT_TRUE(test::WriteAll(text, QByteArray(4096, 'x')));
  controller_.PlaySelected(PlaybackRowKind::File, text);
  ExpectStopped();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(ui_.messages[0].text, QStringLiteral("Failed to load the file '%1' (error code: 41)").arg(text));

  // A valid file with no samples in it must not fail in silence.
  const QString empty = dir_.filePath(QStringLiteral("empty.wav"));
  ASSERT_TRUE(test::WriteAll(empty, EmptyWav()));
  controller_.PlaySelected(PlaybackRowKind::File, empty);
  ExpectStopped();
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_TRUE(ui_.messages[1].text.startsWith(QStringLiteral("Failed to load the file '%1'").arg(empty)))
      << ui_.messages[1].text.toStdString();

  controller_.PlaySelected(PlaybackRowKind::File, dir_.filePath(QStringLiteral("gone.wav")));
  ASSERT_EQ(ui_.messages.size(), 3u);
  EXPECT_FALSE(controller_.IsPlaying());
}

TEST(PlaybackWithoutDevice, ReportsNotPlayableAndNothingRuns) {
  QTemporaryDir dir;
  const QString song = dir.filePath(QStringLiteral("song.wav"));
  test::MakeTone(song, 1.0, 44100, 2);
  CAudioEngine engine;
  ASSERT_TRUE(engine.BindAll().Succeeded());
  ASSERT_EQ(engine.OpenOutputDevice(0, 44100), 0);
  test::ScriptedUserInterface ui;
  RecordingView view;
  PlaybackController controller(engine, ui, view);

  controller.PlaySelected(PlaybackRowKind::File, song);
  EXPECT_FALSE(controller.IsPlaying());
  EXPECT_EQ(view.button_text, QStringLiteral("Play"));
  EXPECT_EQ(view.timer_interval, 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, QStringLiteral("Failed to load the file '%1' (error code: 38)").arg(song));
  controller.Toggle();
  controller.OnTimer();
  controller.Seek(100);
  EXPECT_FALSE(controller.IsPlaying());
}

}  // namespace
