#include <gtest/gtest.h>

#include "app/MainWindowLogic.h"
#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "support/ScriptedUserInterface.h"

namespace corvane {
namespace {

// Records what the logic asks the window to show.
struct RecordingHost : IPageHost {
  std::vector<int> shown;
  std::array<int, 3> buttons{};
  void ShowPage(Page page) override { shown.push_back(static_cast<int>(page)); }
  void SetButtonStates(const std::array<int, 3>& states) override { buttons = states; }
};

class MainWindowLogicTest : public testing::Test {
 protected:
  int StoredPanel() const { return settings.ReadNumber(keys::section::kConvert, keys::kInitialPanel, -1); }

  MemorySettings settings;
  RecordingHost host;
  MainWindowLogic logic{host, settings};
};

TEST_F(MainWindowLogicTest, FirstStartShowsTheRipperAndRemembersIt) {
  EXPECT_EQ(logic.ChooseFirstPage(QString()), Page::Ripper);
  EXPECT_EQ(host.shown, std::vector<int>{2});
  EXPECT_EQ(StoredPanel(), 2);
  EXPECT_EQ(host.buttons, (std::array<int, 3>{0, 1, 0}));
  EXPECT_TRUE(logic.SwitchPending());
  logic.OnPaint();  // the first paint shows the first page once more, then never again
  logic.OnPaint();
  EXPECT_EQ(host.shown, (std::vector<int>{2, 2}));
}

TEST_F(MainWindowLogicTest, LaunchSourceOpensTheConverterWhateverWasRemembered) {
  settings.WriteNumber(keys::section::kConvert, keys::kInitialPanel, 3);
  EXPECT_EQ(logic.ChooseFirstPage(QStringLiteral("/music/a.mp3")), Page::Convert);
  EXPECT_EQ(StoredPanel(), 1);
  EXPECT_EQ(logic.CyclePosition(), Page::Convert);
}

TEST_F(MainWindowLogicTest, RememberedPageIsShown) {
  settings.WriteNumber(keys::section::kConvert, keys::kInitialPanel, 3);
  EXPECT_EQ(logic.ChooseFirstPage(QString()), Page::About);
  EXPECT_EQ(host.buttons, (std::array<int, 3>{0, 0, 1}));
}

TEST_F(MainWindowLogicTest, UnknownRememberedPageShowsNothingAndStoresTheRipper) {
  settings.WriteNumber(keys::section::kConvert, keys::kInitialPanel, 7);
  logic.ChooseFirstPage(QString());
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(StoredPanel(), 2);
  // F9 from a cycle position outside 1..3 does nothing.
  logic.CyclePage();
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(MainWindowLogicTest, ButtonClicksDoNotMoveTheCyclePosition) {
  logic.ChooseFirstPage(QString());  // ripper, cycle position 2
  logic.SwitchPage(Page::Convert);   // the user clicks "Audio Convert"
  EXPECT_EQ(StoredPanel(), 1);
  logic.CyclePage();  // F9 goes on from the ripper: settings/about
  EXPECT_EQ(host.shown.back(), 3);
  EXPECT_EQ(StoredPanel(), 3);
  logic.CyclePage();
  EXPECT_EQ(host.shown.back(), 1);
  logic.CyclePage();
  EXPECT_EQ(host.shown.back(), 2);
  EXPECT_EQ(host.buttons, (std::array<int, 3>{0, 1, 0}));
}

TEST_F(MainWindowLogicTest, PlacementIsRestoredOnlyWhenAllFourValuesExist) {
  EXPECT_EQ(logic.StoredPlacement(), std::nullopt);
  const char* s = keys::section::kConvert;
  settings.WriteNumber(s, keys::kInitialPosX, 10);
  settings.WriteNumber(s, keys::kInitialPosY, 20);
  settings.WriteNumber(s, keys::kInitialWidth, 700);
  EXPECT_EQ(logic.StoredPlacement(), std::nullopt);
  settings.WriteNumber(s, keys::kInitialHeight, 600);
  EXPECT_EQ(logic.StoredPlacement(), QRect(10, 20, 700, 600));
}

TEST_F(MainWindowLogicTest, CloseIsRefusedWhileAJobRunsButThePlacementIsSaved) {
  test::ScriptedUserInterface ui;
  EXPECT_FALSE(logic.RequestClose(QRect(5, 6, 700, 500), false, true, ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(
      ui.messages[0].text,
      QStringLiteral("Can not exit while converter or ripper is runing, please stop it first before exit Corvane !"));
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(logic.StoredPlacement(), QRect(5, 6, 700, 500));

  EXPECT_FALSE(logic.RequestClose(QRect(1, 2, 3, 4), true, false, ui));
  EXPECT_TRUE(logic.RequestClose(QRect(7, 8, 900, 800), false, false, ui));
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(logic.StoredPlacement(), QRect(7, 8, 900, 800));
}

}  // namespace
}  // namespace corvane
