// Playing tracks of a generated disc image through the real grabber and the real player on SDL's
// dummy output: positions, seeking by the slider, a drag, steps, a data track, the track's end.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "ripper/RipperController.h"
#include "ripper/RipperTestKit.h"
#include "ripper/TrackTexts.h"
#include "support/DiscImageFixture.h"
#include "support/QtPrinters.h"
#include "support/ScriptedUserInterface.h"

namespace corvane {
namespace {

constexpr int kSecond = 75;  // sectors

class TrackPlaybackTest : public testing::Test {
 protected:
  // A 2-second track, a 4-minute one and a data track.
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir;
    test::DiscPlan plan;
    plan.tracks = {{2 * kSecond, false, {}, {}}, {240 * kSecond, false, {}, {}}, {10 * kSecond, true, {}, {}}};
    image_ = new test::DiscImage(test::DiscImageFixture(dir_->path()).Build(QStringLiteral("play"), plan));
  }
  static void TearDownTestSuite() {
    delete image_;
    delete dir_;
  }

  void SetUp() override {
    settings_.WriteNumber(keys::section::kDialogToggle, keys::kFreeDbTips, 0);
    settings_.WriteText(keys::section::kRip, keys::kDiscImages, image_->cue);
    settings_.WriteNumber(keys::section::kRip, keys::kDiscAutoLoad, 1);
    controller_ = std::make_unique<RipperController>(settings_, ui_, view_);
    controller_->InitialisePage();
    ASSERT_EQ(view_.rows.size(), 3u) << ui_.MessageTexts().join(QLatin1Char('|')).toStdString();
  }

  TrackPlayback& Playback() { return controller_->Playback(); }
  // Waits for `count` more position labels.
  bool WaitForPositions(int count) {
    const qsizetype target = view_.positions.size() + count;
    return test::WaitUntil([&] { return view_.positions.size() >= target; });
  }
  static qint64 LabelMs(const QString& label) { return track_text::LengthMs(label.section(QStringLiteral("  "), 1)); }

  static QTemporaryDir* dir_;
  static test::DiscImage* image_;
  MemorySettings settings_;
  test::ScriptedUserInterface ui_;
  test::RecordingRipperView view_;
  std::unique_ptr<RipperController> controller_;
};

QTemporaryDir* TrackPlaybackTest::dir_ = nullptr;
test::DiscImage* TrackPlaybackTest::image_ = nullptr;

TEST_F(TrackPlaybackTest, WithoutASoundDeviceThePlayerSaysWhyAndTheStatusGoesBack) {
  // A sound driver that does not exist stands for a machine without a sound device.
  // The fixture's player goes first, so that the sound system starts again without a driver.
  controller_.reset();
  const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
  qputenv("SDL_AUDIODRIVER", "no-such-driver");
  controller_ = std::make_unique<RipperController>(settings_, ui_, view_);
  controller_->InitialisePage();
  ASSERT_EQ(view_.rows.size(), 3u);
  ui_.status_texts.clear();
  Playback().PlayRow(0, 0);
  qputenv("SDL_AUDIODRIVER", driver);
  EXPECT_FALSE(Playback().Playing());
  ASSERT_EQ(ui_.messages.size(), 1u);
  const QString reason = ui_.messages[0].text.section(QStringLiteral("\n\n"), 1);
  EXPECT_TRUE(ui_.messages[0].text.startsWith(StringTable::Text(text::kStartPlayFailed) + QStringLiteral("\n\n")));
  EXPECT_TRUE(reason.startsWith(QStringLiteral("No audio output device could be opened: ")) &&
              reason.size() > QStringLiteral("No audio output device could be opened: ").size())
      << reason.toStdString();
  // The status bar does not stay at "Opening track ..." behind the box.
  ASSERT_FALSE(ui_.status_texts.empty());
  EXPECT_EQ(ui_.status_texts.back().second, StringTable::Text(text::kStartPlayFailed));
  EXPECT_EQ(view_.play_text, QStringLiteral("Play"));
}

TEST_F(TrackPlaybackTest, PlaysWithPositionsToTheEnd) {
  view_.selected_row = 0;
  Playback().PlayButton();
  ASSERT_TRUE(Playback().Playing()) << ui_.MessageTexts().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(view_.play_text, QStringLiteral("Stop"));
  ASSERT_TRUE(test::WaitUntil([&] { return ui_.status_texts.back().second == QStringLiteral("Playing track ..."); }));
  ASSERT_TRUE(test::WaitUntil([&] { return !Playback().Playing(); }));
  EXPECT_EQ(view_.play_text, QStringLiteral("Play"));
  EXPECT_EQ(ui_.status_texts.back().second, QStringLiteral("Output - "));
  EXPECT_EQ(view_.slider, 0);
  EXPECT_EQ(view_.positions.back(), QStringLiteral("[# 01]  0:00"));
  // The labels counted up through the track and the slider moved toward its end.
  EXPECT_TRUE(view_.positions.contains(QStringLiteral("[# 01]  0:01")));
  EXPECT_GE(*std::max_element(view_.slider_values.begin(), view_.slider_values.end()), 50);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(TrackPlaybackTest, SeekingToTheMiddleRestartsAtTwoMinutes) {
  Playback().PlayRow(1, 0);
  ASSERT_TRUE(Playback().Playing());
  ASSERT_TRUE(WaitForPositions(1));
  Playback().SliderMoved(50, false);
  Playback().SliderMoved(50, true);
  EXPECT_EQ(Playback().StartOffset(), 120 * kSecond * 2352 / 4);
  const qsizetype seekedAt = view_.positions.size();
  ASSERT_TRUE(WaitForPositions(3));
  for (qsizetype i = seekedAt; i < view_.positions.size(); ++i) {
    EXPECT_TRUE(view_.positions[i].startsWith(QStringLiteral("[# 02]  2:0"))) << view_.positions[i].toStdString();
    EXPECT_GE(LabelMs(view_.positions[i]), 120000);
  }
  EXPECT_GE(view_.slider, 50);
  // Playing from a slider position starts there.
  Playback().Stop();
  view_.slider = 75;
  view_.selected_row = 1;
  Playback().PlayButton();
  ASSERT_TRUE(WaitForPositions(1));
  EXPECT_GE(LabelMs(view_.positions.back()), 180000);
  Playback().Stop();
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(TrackPlaybackTest, ADragHoldsTheSliderUntilItEnds) {
  Playback().PlayRow(1, 0);
  ASSERT_TRUE(WaitForPositions(1));
  Playback().SliderMoved(30, false);
  EXPECT_TRUE(Playback().Dragging());
  const size_t setBefore = view_.slider_values.size();
  ASSERT_TRUE(WaitForPositions(3));
  EXPECT_EQ(view_.slider_values.size(), setBefore);
  Playback().SliderMoved(30, true);
  EXPECT_FALSE(Playback().Dragging());
  ASSERT_TRUE(test::WaitUntil([&] { return view_.slider_values.size() > setBefore; }));
  EXPECT_GE(view_.slider_values.back(), 30);
  Playback().Stop();
  // Not playing, the slider only moves the label through the row's length.
  Playback().SliderMoved(50, true);
  EXPECT_FALSE(Playback().Playing());
  EXPECT_EQ(view_.positions.back(), QStringLiteral("[# 02]  2:00"));
}

TEST_F(TrackPlaybackTest, RefusalsAndSteps) {
  // No row selected.
  view_.selected_row = -1;
  Playback().PlayButton();
  EXPECT_EQ(ui_.MessageTexts(), QStringList({StringTable::Text(text::kSelectTrackToPlay)}));
  // A data track.
  ui_.messages.clear();
  Playback().PlayRow(2, 0);
  EXPECT_EQ(ui_.MessageTexts(), QStringList({StringTable::Text(text::kOnlyAudioPlayable)}));
  EXPECT_FALSE(Playback().Playing());
  EXPECT_FALSE(ui_.status_texts.back().second == StringTable::Text(text::kOpeningTrack));
  ui_.messages.clear();

  // Previous on the first row and next on the last do nothing.
  Playback().ResetToRow(0);
  Playback().Previous();
  EXPECT_EQ(Playback().CurrentRow(), 0);
  Playback().Next();
  Playback().Next();
  EXPECT_EQ(Playback().CurrentRow(), 2);
  EXPECT_EQ(view_.selected_row, 2);
  Playback().Next();
  EXPECT_EQ(Playback().CurrentRow(), 2);
  // While playing, a step plays the neighbour; the first row's previous stays put.
  Playback().PlayRow(0, 0);
  Playback().Previous();
  EXPECT_TRUE(Playback().Playing());
  EXPECT_EQ(Playback().CurrentRow(), 0);
  Playback().Next();
  EXPECT_TRUE(Playback().Playing());
  EXPECT_EQ(Playback().CurrentRow(), 1);
  ASSERT_TRUE(WaitForPositions(1));
  EXPECT_TRUE(view_.positions.back().startsWith(QStringLiteral("[# 02]")));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(TrackPlaybackTest, DiscChangeWhilePlayingStopsAndReloads) {
  Playback().PlayRow(1, 0);
  ASSERT_TRUE(WaitForPositions(1));
  emit controller_->Components().Grabber()->Event(ComponentEvent{1});
  ASSERT_TRUE(test::WaitUntil([&] { return !Playback().Playing(); }));
  ASSERT_TRUE(test::WaitUntil([&] { return ui_.status_texts.back().second.contains(QStringLiteral("disc loaded")); }));
  EXPECT_EQ(view_.rows.size(), 3u);
  EXPECT_EQ(view_.play_text, QStringLiteral("Play"));
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace corvane
