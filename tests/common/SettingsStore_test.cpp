#include <gtest/gtest.h>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "support/TestSettings.h"

namespace corvane {
namespace {

using keys::section::kConvert;

TEST(SettingsStore, AbsentValuesAreDistinguishableFromStoredOnes) {
  test::TestSettings settings;
  EXPECT_FALSE(SettingsStore::Contains(kConvert, keys::kInitialPanel));
  EXPECT_EQ(SettingsStore::ReadNumber(kConvert, keys::kInitialPanel, 77), 77);
  EXPECT_EQ(SettingsStore::FindNumber(kConvert, keys::kInitialPanel), std::nullopt);

  SettingsStore::WriteNumber(kConvert, keys::kInitialPanel, -999);
  EXPECT_TRUE(SettingsStore::Contains(kConvert, keys::kInitialPanel));
  EXPECT_EQ(SettingsStore::ReadNumber(kConvert, keys::kInitialPanel, 77), -999);

  SettingsStore::WriteText(kConvert, keys::kOutputFolder, QString());
  EXPECT_TRUE(SettingsStore::Contains(kConvert, keys::kOutputFolder));
  EXPECT_EQ(SettingsStore::ReadText(kConvert, keys::kOutputFolder, QStringLiteral("x")), QString());
  EXPECT_EQ(SettingsStore::ReadText(kConvert, keys::kLastOutputFolder, QStringLiteral("x")), QStringLiteral("x"));
}

TEST(SettingsStore, TextsKeepNonAsciiAndSeparators) {
  test::TestSettings settings;
  const QString text = QStringLiteral("/home/zoë/Müsik/ドラム, \"quoted\" ; = [x]");
  SettingsStore::WriteText(keys::section::kRip, keys::kOutputFolder, text);
  EXPECT_EQ(SettingsStore::ReadText(keys::section::kRip, keys::kOutputFolder), text);
}

TEST(SettingsStore, OwnDefaultsAreWrittenBackWhenAbsentOrMinusOne) {
  test::TestSettings settings;
  EXPECT_EQ(SettingsStore::ReadNumberOrStore(kConvert, keys::kMp3Id3Enabled, 1), 1);
  EXPECT_EQ(SettingsStore::ReadNumber(kConvert, keys::kMp3Id3Enabled, 5), 1);

  // A -1 written by hand counts as absent and is replaced by the default.
  SettingsStore::WriteNumber(kConvert, keys::kMp3Id3Enabled, -1);
  EXPECT_EQ(SettingsStore::ReadNumberOrStore(kConvert, keys::kMp3Id3Enabled, 1), 1);
  EXPECT_EQ(SettingsStore::ReadNumber(kConvert, keys::kMp3Id3Enabled, 5), 1);

  // Any other stored value is used as it is, also outside the documented range.
  SettingsStore::WriteNumber(kConvert, keys::kMp3Id3Enabled, 42);
  EXPECT_EQ(SettingsStore::ReadNumberOrStore(kConvert, keys::kMp3Id3Enabled, 1), 42);

  EXPECT_EQ(SettingsStore::ReadTextOrStore(kConvert, keys::kOutputQualityName, QStringLiteral("CD Quality")),
            QStringLiteral("CD Quality"));
  EXPECT_EQ(SettingsStore::ReadText(kConvert, keys::kOutputQualityName), QStringLiteral("CD Quality"));
  SettingsStore::WriteText(kConvert, keys::kOutputQualityName, QStringLiteral("Mine"));
  EXPECT_EQ(SettingsStore::ReadTextOrStore(kConvert, keys::kOutputQualityName, QStringLiteral("CD Quality")),
            QStringLiteral("Mine"));
}

TEST(SettingsStore, SectionsAreSeparateAndLiveInTheQuillonBexlorFile) {
  test::TestSettings settings;
  SettingsStore::WriteText(keys::section::kConvert, keys::kOutputQualityName, QStringLiteral("A"));
  SettingsStore::WriteText(keys::section::kRip, keys::kOutputQualityName, QStringLiteral("B"));
  EXPECT_EQ(SettingsStore::ReadText(keys::section::kConvert, keys::kOutputQualityName), QStringLiteral("A"));
  EXPECT_EQ(SettingsStore::ReadText(keys::section::kRip, keys::kOutputQualityName), QStringLiteral("B"));
  EXPECT_TRUE(SettingsStore::FilePath().startsWith(settings.Folder()));
  EXPECT_TRUE(SettingsStore::FilePath().endsWith(QStringLiteral("Quillon/Bexlor.conf")));
  EXPECT_TRUE(settings.FileText().contains(QStringLiteral("[Rip%20Setting]")));
}

}  // namespace
}  // namespace corvane
