#include "common/RunCompletion.h"

#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "support/ScriptedUserInterface.h"

namespace corvane {
namespace {

// Both runs end the same way, each with the values of its own section.
TEST(CompleteRun, TheWindowAsksOrAutoOpenFolderDecides) {
  struct Case {
    int show_success;
    bool open_pressed;
    int auto_open;
    bool openable;
    int opened;
  };
  const Case cases[] = {
      {1, false, 1, true, 1},  // closed with OK: it has not asked, the setting decides
      {1, false, 0, true, 0},  //
      {1, true, 0, true, 1},   // "Open Folder"
      {1, true, 1, true, 1},   // asked and set: opened once
      {0, false, 1, true, 1},  // no window
      {0, false, 0, true, 0},  //
      {1, true, 1, false, 0},  // outputs beside their sources: no folder to open
      {0, false, 1, false, 0},
  };
  for (const char* section : {keys::section::kConvert, keys::section::kRip}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << section << " show " << c.show_success << " open " << c.open_pressed << " auto "
                                      << c.auto_open << " openable " << c.openable);
      MemorySettings settings;
      test::ScriptedUserInterface ui;
      settings.WriteNumber(section, keys::kShowSuccess, c.show_success);
      settings.WriteNumber(section, keys::kAutoOpenFolder, c.auto_open);
      ui.completion_reply.open_folder = c.open_pressed;
      CompleteRun(ui, settings, section, {QStringLiteral("2 files"), 1, QStringLiteral("/srv/out"), c.openable});
      EXPECT_EQ(ui.completion_summaries, c.show_success ? QStringList{QStringLiteral("2 files")} : QStringList());
      EXPECT_EQ(ui.opened_paths, QStringList(c.opened, QStringLiteral("/srv/out")));
    }
  }
}

TEST(CompleteRun, DontShowAgainClearsShowSuccessOfItsSectionOnly) {
  MemorySettings settings;
  test::ScriptedUserInterface ui;
  ui.completion_reply.dont_show_again = true;
  CompleteRun(ui, settings, keys::section::kRip, {QStringLiteral("done"), 0, QStringLiteral("/srv/out"), true});
  EXPECT_EQ(ui.completion_failed_counts, std::vector<int>{0});
  EXPECT_EQ(ui.completion_headings, QStringList{QStringLiteral("Convert completed successfully!")});
  EXPECT_EQ(settings.ReadNumber(keys::section::kRip, keys::kShowSuccess, 1), 0);
  EXPECT_FALSE(settings.Contains(keys::section::kConvert, keys::kShowSuccess));
  CompleteRun(ui, settings, keys::section::kRip, {QStringLiteral("again"), 0, QStringLiteral("/srv/out"), true});
  EXPECT_EQ(ui.completion_summaries, QStringList{QStringLiteral("done")});
}

}  // namespace
}  // namespace corvane
