// The ripper page's logic on generated disc images through the real grabber: images as drives,
// Load disc, the drive choice, disc changes (also while a load runs), the popup and the tray.
#include <gtest/gtest.h>

#include <algorithm>

#include <QFile>
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

const char* const kRip = keys::section::kRip;
constexpr int kSecond = 75;  // sectors

class RipperControllerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    settings_.WriteNumber(keys::section::kDialogToggle, keys::kFreeDbTips, 0);
  }

  // Three audio tracks of 10 s, 20 s and 65 s with CD-TEXT, or two audio tracks and a data track.
  test::DiscImage Build(const QString& name, bool withData = false) const {
    test::DiscPlan plan;
    plan.title = QStringLiteral("Harbour Lights");
    plan.performer = QStringLiteral("The Quays");
    plan.tracks = {{10 * kSecond, false, QStringLiteral("Low Tide"), {}},
                   {20 * kSecond, false, QStringLiteral("Gulls"), {}},
                   {65 * kSecond, withData, withData ? QString() : QStringLiteral("Night Ferry"), {}}};
    return test::DiscImageFixture(dir_.path()).Build(name, plan);
  }

  RipperController& Make(QStringList images, bool autoLoad, ComponentFactories factories = {}) {
    settings_.WriteText(kRip, keys::kDiscImages, images.join(QLatin1Char('\n')));
    settings_.WriteNumber(kRip, keys::kDiscAutoLoad, autoLoad ? 1 : 0);
    controller_ = std::make_unique<RipperController>(settings_, ui_, view_, std::move(factories));
    controller_->InitialisePage();
    return *controller_;
  }

  QStringList Statuses() const {
    QStringList texts;
    for (const auto& [pane, text] : ui_.status_texts) {
      if (pane == 1) texts << text;
    }
    return texts;
  }
  static QString Loaded(quint32 id) {
    return StringTable::Format(text::kDiscLoaded, {QStringLiteral("Disc image"), static_cast<qulonglong>(id)});
  }

  QTemporaryDir dir_;
  MemorySettings settings_;
  test::ScriptedUserInterface ui_;
  test::RecordingRipperView view_;
  std::unique_ptr<RipperController> controller_;
};

TEST_F(RipperControllerTest, EachImageKindLoadsAsADrive) {
  const test::DiscImage audio = Build(QStringLiteral("audio"));
  const test::DiscImage data = Build(QStringLiteral("data"), true);
  const quint32 audioId = test::DiscIdFromCdInfo(audio.cue);
  const quint32 dataId = test::DiscIdFromCdInfo(data.cue);
  const QString kAudio = QStringLiteral("AUDIO");
  const struct {
    QString image;
    quint32 id;
    QString lastType;
  } kCases[] = {
      {audio.cue, audioId, kAudio}, {audio.toc, audioId, kAudio}, {data.cue, dataId, QStringLiteral("DATA (Mode 1)")}};
  for (const auto& disc : kCases) {
    SCOPED_TRACE(disc.image.toStdString());
    ui_ = {};
    ui_.status_texts.clear();
    RipperController& controller = Make({disc.image}, true);
    EXPECT_TRUE(ui_.messages.empty()) << ui_.MessageTexts().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(view_.drive_entries.size(), 1);
    const DriveChoice& drive = controller.Drives().front();
    EXPECT_TRUE(drive.image);
    EXPECT_TRUE(drive.identifier.isEmpty());  // no read offset for an image
    EXPECT_TRUE(view_.drive_entries[0].startsWith(QLatin1Char('[')));
    EXPECT_FALSE(view_.drive_entries[0].endsWith(QLatin1Char(' ')));
    EXPECT_EQ(view_.Column(&TrackRowTexts::number), QStringList({"01", "02", "03"}));
    EXPECT_EQ(view_.Column(&TrackRowTexts::length), QStringList({" 0:10", " 0:20", " 1:05"}));
    EXPECT_EQ(view_.Column(&TrackRowTexts::status), QStringList({"Loaded", "Loaded", "Loaded"}));
    EXPECT_EQ(view_.Column(&TrackRowTexts::type), QStringList({kAudio, kAudio, disc.lastType}));
    EXPECT_EQ(Statuses().back(), Loaded(disc.id));
    EXPECT_TRUE(Statuses().contains(QStringLiteral("CD / DVD devices initialized successfully")));
    EXPECT_TRUE(view_.step_buttons_enabled && view_.freedb_enabled && view_.drive_controls_enabled);
    EXPECT_EQ(view_.selected_row, 0);
    EXPECT_EQ(view_.positions.back(), QStringLiteral("[# 01]  0:00"));
    EXPECT_EQ(ui_.progress_texts,
              QStringList({"Loading settings of output qualities ...", "Initializing CD / DVD devices, please wait ...",
                           "Loading tracks, please wait ...", "Checking disc...",
                           "Loading CD-TEXT and audio tracks, please wait...",
                           "Updating the information of audio tracks..."}));
  }
  // The cue sheet's CD-TEXT names the disc and its tracks.
  Make({audio.cue}, true);
  EXPECT_EQ(view_.Column(&TrackRowTexts::title), QStringList({"Low Tide", "Gulls", "Night Ferry"}));
  EXPECT_EQ(view_.artist, QStringLiteral("The Quays"));
  EXPECT_EQ(view_.album, QStringLiteral("Harbour Lights"));
  EXPECT_EQ(view_.genre_entry, 0);
}

TEST_F(RipperControllerTest, NoDriveAndNoImageIsToldOnceAndAnImageStillOpens) {
  RipperController& controller = Make({}, true);
  if (!view_.drive_entries.isEmpty()) GTEST_SKIP() << "this machine has a drive";
  // The box waits for the window: the page is not on the screen while it is being made.
  EXPECT_TRUE(ui_.messages.empty());
  ASSERT_TRUE(controller.TipsPending());
  controller.ShowPendingTips();
  EXPECT_EQ(ui_.MessageTexts(), QStringList({StringTable::Text(text::kNoDrivesDetected)}));
  EXPECT_EQ(ui_.messages.front().icon, MessageIcon::Error);
  EXPECT_FALSE(controller.DrivesReady());
  EXPECT_EQ(Statuses().back(), QStringLiteral("CD / DVD devices initialized failed"));
  // Load disc says there is nothing to load instead of the drive box again.
  controller.LoadDisc();
  EXPECT_EQ(ui_.MessageTexts().back(), StringTable::Text(text::kNoDriveToLoad));
  EXPECT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(Statuses().back(), QStringLiteral("CD / DVD devices initialized failed"));

  const test::DiscImage audio = Build(QStringLiteral("late"));
  controller.OpenDiscImage(audio.cue);
  EXPECT_TRUE(controller.DrivesReady());
  EXPECT_EQ(view_.rows.size(), 3u);
  EXPECT_EQ(Statuses().back(), Loaded(test::DiscIdFromCdInfo(audio.cue)));
  EXPECT_EQ(settings_.ReadText(kRip, keys::kDiscImages), audio.cue);
  // Opening it again lists it once.
  controller.OpenDiscImage(audio.cue);
  EXPECT_EQ(view_.drive_entries.size(), 1);
  EXPECT_EQ(settings_.ReadText(kRip, keys::kDiscImages), audio.cue);
  EXPECT_EQ(ui_.messages.size(), 2u);
}

TEST_F(RipperControllerTest, GoneAndForeignImagesAreDroppedWithTheirReason) {
  const test::DiscImage audio = Build(QStringLiteral("kept"));
  const QString gone = dir_.filePath(QStringLiteral("gone.cue"));
  const QString foreign = dir_.filePath(QStringLiteral("notes.cue"));
  QFile file(foreign);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("shopping list: bread, tea\n");
  file.close();
  Make({gone, foreign, audio.cue}, false);
  EXPECT_EQ(view_.drive_entries.size(), 1);
  EXPECT_EQ(settings_.ReadText(kRip, keys::kDiscImages), audio.cue);
  EXPECT_TRUE(Statuses().contains(StringTable::Format(text::kDiscImageMissing, {gone})));
  // The refusal names the file and the reader's reason after it.
  const QString refused = StringTable::Format(text::kDiscImageUnreadable, {foreign}) + QStringLiteral(": ");
  const auto givesReason = [&](const QString& line) {
    return line.startsWith(refused) && line.size() > refused.size();
  };
  const QStringList statuses = Statuses();
  EXPECT_TRUE(std::any_of(statuses.begin(), statuses.end(), givesReason)) << statuses.join(u'\n').toStdString();
  EXPECT_TRUE(view_.rows.empty());  // auto load is off
  // Opened by the user, such a file is refused with a box and leaves no rows of another disc.
  controller_->LoadDisc();
  ASSERT_EQ(view_.rows.size(), 3u);
  controller_->OpenDiscImage(foreign);
  ASSERT_EQ(ui_.MessageTexts().size(), 1);
  EXPECT_TRUE(givesReason(ui_.MessageTexts().front())) << ui_.MessageTexts().front().toStdString();
  EXPECT_TRUE(view_.rows.empty());
  EXPECT_TRUE(view_.artist.isEmpty() && view_.album.isEmpty() && !view_.freedb_enabled);
  EXPECT_EQ(settings_.ReadText(kRip, keys::kDiscImages), audio.cue);
  EXPECT_EQ(view_.drive_entries.size(), 1);
}

TEST_F(RipperControllerTest, StoredRipDeviceIsClampedToTheDrives) {
  const test::DiscImage first = Build(QStringLiteral("first"));
  const test::DiscImage second = Build(QStringLiteral("second"), true);
  for (const auto& [stored, selected] : {std::pair{7, 2}, std::pair{0, 1}, std::pair{2, 2}}) {
    settings_.WriteNumber(kRip, keys::kRipDevice, stored);
    RipperController& controller = Make({first.cue, second.cue}, true);
    ASSERT_EQ(view_.drive_entries.size(), 2);
    EXPECT_EQ(view_.drive_index, selected - 1) << stored;
    EXPECT_EQ(settings_.ReadNumber(kRip, keys::kRipDevice, -1), selected);
    EXPECT_EQ(controller.Drives()[selected - 1].path, selected == 1 ? first.cue : second.cue);
    EXPECT_EQ(view_.rows.back().type, selected == 1 ? QStringLiteral("AUDIO") : QStringLiteral("DATA (Mode 1)"));
  }
  // The user's choice of the other entry loads that disc and is remembered.
  controller_->DriveEntryChanged(0);
  EXPECT_EQ(settings_.ReadNumber(kRip, keys::kRipDevice, -1), 1);
  EXPECT_EQ(view_.rows.back().type, QStringLiteral("AUDIO"));
}

TEST_F(RipperControllerTest, AMissingComponentIsToldAndNothingIsHeld) {
  for (int missing = 0; missing < 3; ++missing) {
    ui_.messages.clear();
    ComponentFactories factories;
    if (missing == 0) factories.player = [] { return std::unique_ptr<IAudioPlayer2>(); };
    if (missing == 1) factories.grabber = [] { return std::unique_ptr<IAudioCDGrabber>(); };
    if (missing == 2) factories.freedb = [] { return std::unique_ptr<IFreedbClient>(); };
    RipperController& controller = Make({Build(QStringLiteral("any")).cue}, true, factories);
    EXPECT_TRUE(ui_.messages.empty());  // told once the window is up
    controller.ShowPendingTips();
    EXPECT_EQ(ui_.MessageTexts(), QStringList({StringTable::Text(text::kCoreComponentsFailed)})) << missing;
    EXPECT_FALSE(controller.DrivesReady());
    EXPECT_FALSE(controller.Components().Created());
    EXPECT_EQ(controller.Components().Player(), nullptr);
    EXPECT_EQ(controller.Components().FreedbClient(), nullptr);
    EXPECT_TRUE(view_.rows.empty());
  }
}

TEST_F(RipperControllerTest, RemovedImageEmptiesTheListEvenWithoutAutoLoad) {
  const test::DiscImage audio = Build(QStringLiteral("removed"));
  RipperController& controller = Make({audio.cue}, false);
  controller.LoadDisc();
  ASSERT_EQ(view_.rows.size(), 3u);
  ASSERT_TRUE(QFile::remove(audio.cue) && QFile::remove(audio.bin));
  emit controller.Components().Grabber()->Event(ComponentEvent{1});
  ASSERT_TRUE(test::WaitUntil([&] { return Statuses().back() == StringTable::Text(text::kNoDisc); }));
  EXPECT_TRUE(view_.rows.empty());
  EXPECT_FALSE(view_.step_buttons_enabled);
  EXPECT_TRUE(Statuses().contains(QStringLiteral("Eject disc")));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(RipperControllerTest, DiscChangeDuringALoadLoadsAgainAfterIt) {
  const test::DiscImage audio = Build(QStringLiteral("busy"));
  RipperController& controller = Make({audio.cue}, true);
  ui_.status_texts.clear();
  int changes = 0;
  ui_.progress_text_hook = [&](const QString& text) {
    if (text != StringTable::Text(text::kCheckingDisc) || changes++ > 0) return;
    // A disc change and the user's commands arrive while the disc is being read.
    controller.OnDiscChanged();
    controller.LoadDisc();
    controller.EjectOrInsert();
    controller.Playback().PlayButton();
  };
  controller.LoadDisc();
  EXPECT_EQ(changes, 2);  // the remembered change loaded the disc a second time, after the first
  EXPECT_EQ(view_.rows.size(), 3u);
  EXPECT_EQ(Statuses().filter(QStringLiteral("disc loaded successfully")).size(), 2);
  EXPECT_EQ(Statuses().back(), Loaded(test::DiscIdFromCdInfo(audio.cue)));
  EXPECT_TRUE(Statuses().contains(QStringLiteral("Insert disc")));
  EXPECT_FALSE(Statuses().contains(StringTable::Text(text::kDiscImageHasNoTray)));
  EXPECT_FALSE(controller.Playback().Playing());
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_FALSE(controller.Busy());
}

TEST_F(RipperControllerTest, FreedbTipsFollowTheirSwitch) {
  const test::DiscImage audio = Build(QStringLiteral("tips"));
  settings_.Remove(keys::section::kDialogToggle, keys::kFreeDbTips);
  RipperController& controller = Make({audio.cue}, true);
  // The load at start-up leaves its popup for the page to show once it is on the screen.
  EXPECT_EQ(view_.tips_shown, 0);
  ASSERT_TRUE(controller.TipsPending());
  controller.ShowPendingTips();
  controller.ShowPendingTips();
  EXPECT_EQ(view_.tips_shown, 1);
  EXPECT_EQ(settings_.ReadNumber(keys::section::kDialogToggle, keys::kFreeDbTips, -1), 1);
  view_.tick_dont_show = true;
  controller.LoadDisc();
  EXPECT_EQ(view_.tips_shown, 2);
  EXPECT_EQ(settings_.ReadNumber(keys::section::kDialogToggle, keys::kFreeDbTips, -1), 0);
  controller.LoadDisc();
  EXPECT_EQ(view_.tips_shown, 2);
  // A disc that does not load shows no tip.
  settings_.WriteNumber(keys::section::kDialogToggle, keys::kFreeDbTips, 1);
  settings_.WriteNumber(keys::section::kFreeDb, keys::kAutoQuery, 1);
  controller.LoadDisc();
  EXPECT_EQ(view_.tips_shown, 2);
}

TEST_F(RipperControllerTest, AnImageHasNoTray) {
  RipperController& controller = Make({Build(QStringLiteral("tray")).cue}, true);
  ASSERT_EQ(view_.rows.size(), 3u);
  for (auto command : {&RipperController::EjectOrInsert, &RipperController::InsertDisc}) {
    ui_.status_texts.clear();
    (controller.*command)();
    EXPECT_EQ(Statuses(), QStringList({StringTable::Text(text::kDiscImageHasNoTray)}));
    EXPECT_EQ(view_.rows.size(), 3u);
  }
}

TEST(TrackTexts, LengthsPositionsAndCdText) {
  using namespace track_text;
  EXPECT_EQ(LengthMs(Length(4, 0)), 240000);
  EXPECT_EQ(LengthMs(QStringLiteral("Loaded")), 0);
  EXPECT_EQ(Position(11, 3725999), QStringLiteral("[# 12]  62:05"));

  const DiscMetadata titles = ReadCdTextTitles({"TITLE0=Album", "PERFORMER0=Band", "GENRE0=rock", "DATE0=1999-05-10",
                                                "TITLE2=Second", "TITLE1=First", "PERFORMER1=Guest"});
  EXPECT_EQ(titles.album, QStringLiteral("Album"));
  EXPECT_EQ(titles.artist, QStringLiteral("Band"));
  EXPECT_EQ(titles.genre_entry, 18);  // "Rock", genre 17, after the empty entry
  EXPECT_EQ(titles.year, QStringLiteral("1999"));
  EXPECT_EQ(ReadCdTextTitles({"DATE0=circa 1970"}).year, QString());
  EXPECT_EQ(titles.titles, QStringList({"First", "Second"}));
  EXPECT_EQ(ReadCdTextTitles({"GENRE0=Sea Shanty"}).genre_entry, 0);
  EXPECT_EQ(ReadCdTextTitles({"GENRE0=Blues"}).genre_entry, 0);  // genre 0 selects nothing
  EXPECT_EQ(ReadCdTextTitles({"GENRE0=classic rock"}).genre_entry, 2);
}

}  // namespace
}  // namespace corvane
