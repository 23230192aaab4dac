#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "common/FileSettings.h"
#include "common/MemorySettings.h"
#include "common/SessionSettings.h"
#include "common/SettingsKeys.h"
#include "support/SourceFixtures.h"
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

// Profiles written before names were escaped hold "Maximum ABR/VBR Bitrate" as a sub-group.
constexpr const char* kOldProfile = "[Encoder%20Setting]\nMaximum%20ABR\\VBR%20Bitrate=256\nMP3%20VBR%20Bitrate=192\n";

TEST(FileSettings, ANameWithASlashLivesUnderItsExactName) {
  using keys::section::kEncoder;
  test::TestSettings settings;
  ASSERT_TRUE(QDir().mkpath(QFileInfo(FileSettings().FilePath()).absolutePath()));
  ASSERT_TRUE(test::WriteAll(FileSettings().FilePath(), kOldProfile));

  // A command-line run sees the old value and leaves the file alone.
  SessionSettings session;
  EXPECT_EQ(session.ReadNumber(kEncoder, keys::kMaxAbrVbrBitrate, -1), 256);
  EXPECT_EQ(settings.FileText(), QString::fromLatin1(kOldProfile));

  FileSettings store;
  EXPECT_EQ(store.ReadNumber(kEncoder, keys::kMaxAbrVbrBitrate, -1), 256);
  const QString moved = settings.FileText();
  EXPECT_TRUE(moved.contains(QStringLiteral("Maximum%20ABR%252FVBR%20Bitrate=256"))) << moved.toStdString();
  EXPECT_FALSE(moved.contains(QStringLiteral("Maximum%20ABR\\"))) << moved.toStdString();
  EXPECT_TRUE(moved.contains(QStringLiteral("MP3%20VBR%20Bitrate=192"))) << "other names keep their form";
  QSettings raw(FileSettings().FilePath(), QSettings::IniFormat);
  raw.beginGroup(QString::fromLatin1(kEncoder));
  EXPECT_EQ(raw.childGroups(), QStringList()) << "no sub-group left";

  store.WriteNumber(kEncoder, keys::kMaxAbrVbrBitrate, 320);
  EXPECT_EQ(FileSettings().ReadNumber(kEncoder, keys::kMaxAbrVbrBitrate, -1), 320);
  store.Remove(kEncoder, keys::kMaxAbrVbrBitrate);
  EXPECT_FALSE(store.Contains(kEncoder, keys::kMaxAbrVbrBitrate));

  // A write over an old profile leaves only the exact name.
  ASSERT_TRUE(test::WriteAll(FileSettings().FilePath(), kOldProfile));
  FileSettings().WriteNumber(kEncoder, keys::kMaxAbrVbrBitrate, 64);
  EXPECT_FALSE(settings.FileText().contains(QStringLiteral("Maximum%20ABR\\")));
  EXPECT_EQ(FileSettings().ReadNumber(kEncoder, keys::kMaxAbrVbrBitrate, -1), 64);
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
