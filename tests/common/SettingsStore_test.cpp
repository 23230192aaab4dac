#include <gtest/gtest.h>

#include "common/FileSettings.h"
#include "common/MemorySettings.h"
#include "common/SessionSettings.h"
#include "common/SettingsKeys.h"
#include "support/TestSettings.h"

namespace corvane {
namespace {

using keys::section::kConvert;

TEST(FileSettings, AbsentValuesAreDistinguishableFromStoredOnes) {
  test::TestSettings settings;
  FileSettings store;
  EXPECT_FALSE(store.Contains(kConvert, keys::kInitialPanel));
  EXPECT_EQ(store.ReadNumber(kConvert, keys::kInitialPanel, 77), 77);
  EXPECT_EQ(store.FindNumber(kConvert, keys::kInitialPanel), std::nullopt);

  store.WriteNumber(kConvert, keys::kInitialPanel, -999);
  EXPECT_TRUE(store.Contains(kConvert, keys::kInitialPanel));
  EXPECT_EQ(store.ReadNumber(kConvert, keys::kInitialPanel, 77), -999);

  store.WriteText(kConvert, keys::kOutputFolder, QString());
  EXPECT_TRUE(store.Contains(kConvert, keys::kOutputFolder));
  EXPECT_EQ(store.ReadText(kConvert, keys::kOutputFolder, QStringLiteral("x")), QString());
  EXPECT_EQ(store.ReadText(kConvert, keys::kLastOutputFolder, QStringLiteral("x")), QStringLiteral("x"));
}

TEST(FileSettings, TextsKeepNonAsciiAndSeparators) {
  test::TestSettings settings;
  FileSettings store;
  const QString text = QStringLiteral("/home/zoë/Müsik/ドラム, \"quoted\" ; = [x]");
  store.WriteText(keys::section::kRip, keys::kOutputFolder, text);
  EXPECT_EQ(store.ReadText(keys::section::kRip, keys::kOutputFolder), text);
}

TEST(FileSettings, OwnDefaultsAreWrittenBackWhenAbsentOrMinusOne) {
  test::TestSettings settings;
  FileSettings store;
  EXPECT_EQ(store.ReadNumberOrStore(kConvert, keys::kMp3Id3Enabled, 1), 1);
  EXPECT_EQ(store.ReadNumber(kConvert, keys::kMp3Id3Enabled, 5), 1);

  // A -1 written by hand counts as absent and is replaced by the default.
  store.WriteNumber(kConvert, keys::kMp3Id3Enabled, -1);
  EXPECT_EQ(store.ReadNumberOrStore(kConvert, keys::kMp3Id3Enabled, 1), 1);
  EXPECT_EQ(store.ReadNumber(kConvert, keys::kMp3Id3Enabled, 5), 1);

  // Any other stored value is used as it is, also outside the documented range.
  store.WriteNumber(kConvert, keys::kMp3Id3Enabled, 42);
  EXPECT_EQ(store.ReadNumberOrStore(kConvert, keys::kMp3Id3Enabled, 1), 42);

  EXPECT_EQ(store.ReadTextOrStore(kConvert, keys::kOutputQualityName, QStringLiteral("CD Quality")),
            QStringLiteral("CD Quality"));
  EXPECT_EQ(store.ReadText(kConvert, keys::kOutputQualityName), QStringLiteral("CD Quality"));
  store.WriteText(kConvert, keys::kOutputQualityName, QStringLiteral("Mine"));
  EXPECT_EQ(store.ReadTextOrStore(kConvert, keys::kOutputQualityName, QStringLiteral("CD Quality")),
            QStringLiteral("Mine"));
}

TEST(FileSettings, SectionsAreSeparateAndLiveInTheQuillonBexlorFile) {
  test::TestSettings settings;
  FileSettings store;
  store.WriteText(keys::section::kConvert, keys::kOutputQualityName, QStringLiteral("A"));
  store.WriteText(keys::section::kRip, keys::kOutputQualityName, QStringLiteral("B"));
  EXPECT_EQ(store.ReadText(keys::section::kConvert, keys::kOutputQualityName), QStringLiteral("A"));
  EXPECT_EQ(store.ReadText(keys::section::kRip, keys::kOutputQualityName), QStringLiteral("B"));
  EXPECT_TRUE(store.FilePath().startsWith(settings.Folder()));
  EXPECT_TRUE(store.FilePath().endsWith(QStringLiteral("Quillon/Bexlor.conf")));
  EXPECT_TRUE(settings.FileText().contains(QStringLiteral("[Rip%20Setting]")));
}

TEST(SessionSettings, ReadsSeeTheSessionsChangesFirstAndTheFileNeverChanges) {
  test::TestSettings settings;
  FileSettings file;
  file.WriteNumber(kConvert, keys::kInitialPanel, 1);
  file.WriteText(kConvert, keys::kOutputFolder, QStringLiteral("/srv/out"));
  const QString before = settings.FileText();

  SessionSettings session;
  EXPECT_EQ(session.ReadNumber(kConvert, keys::kInitialPanel, -1), 1);
  session.WriteNumber(kConvert, keys::kInitialPanel, 3);
  session.Remove(kConvert, keys::kOutputFolder);
  EXPECT_EQ(session.ReadNumberOrStore(kConvert, keys::kShowSuccess, 1), 1);
  EXPECT_EQ(session.ReadNumber(kConvert, keys::kInitialPanel, -1), 3);
  EXPECT_FALSE(session.Contains(kConvert, keys::kOutputFolder));
  EXPECT_TRUE(session.Contains(kConvert, keys::kShowSuccess));

  EXPECT_EQ(settings.FileText(), before);
  EXPECT_EQ(file.ReadNumber(kConvert, keys::kInitialPanel, -1), 1);
  EXPECT_FALSE(file.Contains(kConvert, keys::kShowSuccess));
  EXPECT_EQ(session.FolderPath(), file.FolderPath());
}

TEST(MemorySettings, StartsEmptyAndEachStoreKeepsItsOwnValues) {
  test::TestSettings settings;
  FileSettings file;
  file.WriteNumber(kConvert, keys::kInitialPanel, 1);
  MemorySettings memory(QStringLiteral("/srv/profile"));
  MemorySettings other;
  EXPECT_FALSE(memory.Contains(kConvert, keys::kInitialPanel));

  memory.WriteNumber(kConvert, keys::kInitialPanel, 2);
  memory.WriteText(kConvert, keys::kOutputFolder, QStringLiteral("x"));
  EXPECT_EQ(memory.ReadNumber(kConvert, keys::kInitialPanel, -1), 2);
  // Read back as the file gives them: a number as its text, a text that is no number as absent.
  EXPECT_EQ(memory.ReadText(kConvert, keys::kInitialPanel), QStringLiteral("2"));
  EXPECT_EQ(memory.FindNumber(kConvert, keys::kOutputFolder), std::nullopt);
  memory.Remove(kConvert, keys::kOutputFolder);
  EXPECT_FALSE(memory.Contains(kConvert, keys::kOutputFolder));

  EXPECT_FALSE(other.Contains(kConvert, keys::kInitialPanel));
  EXPECT_EQ(file.ReadNumber(kConvert, keys::kInitialPanel, -1), 1);
  EXPECT_EQ(memory.FolderPath(), QStringLiteral("/srv/profile"));
  EXPECT_TRUE(settings.FileText().contains(QStringLiteral("Initial%20Panel=1")));
}

}  // namespace
}  // namespace corvane
