// The ripper page's output folder and output-name fields.
#include "ripper/RipOutputFields.h"

#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "support/QtPrinters.h"
#include "support/ScriptedUserInterface.h"

using namespace corvane;
using corvane::test::ScriptedUserInterface;

namespace {

constexpr const char* kRip = keys::section::kRip;

struct RipOutputFieldsTest : testing::Test {
  MemorySettings settings;
  ScriptedUserInterface ui;
  RipOutputFields fields{settings, ui};
};

TEST_F(RipOutputFieldsTest, BrowseStartsAtTheEditOrTheLastFolderAndStoresOnlyAChoice) {
  settings.WriteText(kRip, keys::kLastOutputFolder, QStringLiteral("/last"));
  ui.folder_answers = {std::nullopt, QStringLiteral("/chosen"), QStringLiteral("/other")};

  EXPECT_EQ(fields.Browse(QString()), std::nullopt);
  EXPECT_FALSE(settings.Contains(kRip, keys::kOutputFolder));
  EXPECT_EQ(fields.Browse(QString()), QStringLiteral("/chosen"));
  EXPECT_EQ(fields.OutputFolder(), QStringLiteral("/chosen"));
  EXPECT_EQ(fields.Browse(QStringLiteral("/typed")), QStringLiteral("/other"));

  EXPECT_EQ(ui.folder_starts,
            (QStringList{QStringLiteral("/last"), QStringLiteral("/last"), QStringLiteral("/typed")}));
  EXPECT_EQ(ui.folder_captions.value(0), QStringLiteral("Please select the output folder for ripping:"));
  EXPECT_EQ(settings.ReadText(kRip, keys::kLastOutputFolder), QStringLiteral("/last"));
}

TEST_F(RipOutputFieldsTest, PatternIsStoredAsTypedAndFallsBackToTheDefault) {
  EXPECT_EQ(fields.OutputName(), QStringLiteral("%A\\%M\\Track%N-%T"));
  fields.StoreOutputName(QStringLiteral("%N %T"));
  EXPECT_EQ(settings.ReadText(kRip, keys::kOutputName), QStringLiteral("%N %T"));
  fields.StoreOutputName(QString());
  EXPECT_EQ(fields.OutputName(), QStringLiteral("%A\\%M\\Track%N-%T"));

  fields.ShowTips();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
  EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral("You can use following tags (case-sensitive)")));
  EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("with \"%A\\Track_%N\" as output name")));
}

}  // namespace
