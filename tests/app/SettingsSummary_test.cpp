#include <gtest/gtest.h>

#include "app/SettingsSummary.h"
#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"

namespace corvane {
namespace {

TEST(SettingsSummary, ConverterDefaultsOnAFreshProfile) {
  MemorySettings settings;
  EXPECT_EQ(BuildConverterSummary(settings),
            QStringLiteral("Default Source Folder: \n    Last opened folder\nActions taken before conversion start:\n"
                           "  Output Folder Confirmation:  No\n  Confirm File Overwrite: Yes\n"
                           "Actions taken when conversion completed:\n  Display Completed Window:  Yes\n"
                           "  Open Destination Folder:  No"));
}

TEST(SettingsSummary, ConverterReflectsStoredValues) {
  MemorySettings settings;
  const char* s = keys::section::kConvert;
  settings.WriteNumber(s, keys::kSourceFolderMode, 0);
  settings.WriteText(s, keys::kDefaultSourceFolder, QStringLiteral("/srv/music"));
  settings.WriteNumber(s, keys::kOutputFolderConfirmation, 5);  // any non-zero is Yes
  settings.WriteNumber(s, keys::kConfirmOverwrite, 0);
  settings.WriteNumber(s, keys::kShowSuccess, 0);
  settings.WriteNumber(s, keys::kAutoOpenFolder, 1);
  const QString summary = BuildConverterSummary(settings);
  EXPECT_TRUE(summary.startsWith(QStringLiteral("Default Source Folder: \n    /srv/music\n")));
  EXPECT_TRUE(summary.contains(QStringLiteral("Output Folder Confirmation:  Yes\n  Confirm File Overwrite: No\n")));
  EXPECT_TRUE(summary.contains(QStringLiteral("Display Completed Window:  No\n  Open Destination Folder:  Yes")));
}

TEST(SettingsSummary, RipperGrabModeAndErrorActionTexts) {
  MemorySettings settings;
  const char* s = keys::section::kRip;
  EXPECT_TRUE(BuildRipperSummary(settings).startsWith(QStringLiteral(
      "Grab Mode: \n  Precision grab mode\nAction taken if read errors:\n  Insert silence on error blocks\n")));

  const std::pair<int, const char*> modes[] = {
      {1, "Fast grab mode (no error correction)"}, {2, "Precision grab mode"}, {3, "Precision grab of very used disc"},
      {4, "Only for grab on unreadable disc"},     {9, "Precision grab mode"}, {0, "Precision grab mode"}};
  for (const auto& [value, expected] : modes) {
    settings.WriteNumber(s, keys::kGrabModePreset, value);
    EXPECT_TRUE(BuildRipperSummary(settings).startsWith(QStringLiteral("Grab Mode: \n  ") +
                                                        QString::fromUtf8(expected) + QLatin1Char('\n')))
        << value;
  }
  const std::pair<int, const char*> actions[] = {
      {0, "Stop grabbing"}, {1, "Insert silence on error blocks"}, {2, "Discard error blocks"}, {7, "Stop grabbing"}};
  for (const auto& [value, expected] : actions) {
    settings.WriteNumber(s, keys::kGrabErrorAction, value);
    EXPECT_TRUE(BuildRipperSummary(settings).contains(QStringLiteral("read errors:\n  ") + QString::fromUtf8(expected) +
                                                      QLatin1Char('\n')))
        << value;
  }
  settings.WriteNumber(s, keys::kShowSuccess, 0);
  EXPECT_TRUE(BuildRipperSummary(settings).contains(QStringLiteral("Show 'Success' Window:  No")));
  // The log and the database look-up, both on unless turned off, are named.
  EXPECT_TRUE(BuildRipperSummary(settings).endsWith(QStringLiteral(
      "Write Rip Log:  Yes\n  Verify with AccurateRip (asks the AccurateRip database over the Internet):  Yes")));
  settings.WriteNumber(s, keys::kRipLog, 0);
  settings.WriteNumber(s, keys::kVerifyAccurateRip, 0);
  EXPECT_TRUE(BuildRipperSummary(settings).contains(QStringLiteral("Write Rip Log:  No\n")));
  EXPECT_TRUE(BuildRipperSummary(settings).endsWith(QStringLiteral("Internet):  No")));
}

}  // namespace
}  // namespace corvane
