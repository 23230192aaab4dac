// The ripper settings as stored and as the dialog shows them: defaults written back, the
// grab-mode and error-action mappings, retries clamped, and the per-drive read offsets.
#include "ripper/RipperSettingsValues.h"

#include <gtest/gtest.h>

#include <QSettings>

#include "common/FileSettings.h"
#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "support/TestSettings.h"

using namespace corvane;

namespace {

int Stored(const SettingsStore& settings, const char* value) {
  return settings.ReadNumber(keys::section::kRip, value, -77);
}

TEST(RipperSettingsValuesTest, LoadWritesEveryMissingDefault) {
  MemorySettings settings;
  settings.WriteNumber(keys::section::kRip, keys::kConfirmOverwrite, 0);
  settings.WriteNumber(keys::section::kRip, keys::kShowSuccess, -1);  // -1 counts as missing
  const RipperSettingsValues values = RipperSettingsValues::Load(settings);
  EXPECT_EQ(Stored(settings, keys::kGrabModePreset), 2);
  EXPECT_EQ(Stored(settings, keys::kGrabErrorRetries), 5);
  EXPECT_EQ(Stored(settings, keys::kGrabErrorAction), 1);
  EXPECT_EQ(Stored(settings, keys::kEnableId3v2), 0);
  EXPECT_EQ(Stored(settings, keys::kOutputFolderConfirmation), 0);
  EXPECT_EQ(Stored(settings, keys::kConfirmOverwrite), 0);
  EXPECT_EQ(Stored(settings, keys::kShowSuccess), 1);
  EXPECT_EQ(Stored(settings, keys::kAutoOpenFolder), 0);
  EXPECT_EQ(Stored(settings, keys::kVerifyAccurateRip), 1);
  EXPECT_EQ(Stored(settings, keys::kRipLog), 1);
  EXPECT_FALSE(settings.Contains(keys::section::kRip, keys::kAccurateRipUrl));  // empty: the public one
  EXPECT_TRUE(values.verify_accuraterip && values.rip_log && values.accuraterip_url.isEmpty());
  EXPECT_EQ(values.grab_mode, GrabMode::Precision);
  EXPECT_EQ(values.error_action, ErrorAction::InsertSilence);
  EXPECT_FALSE(values.confirm_overwrite);
  // Nothing of the converter's section of the same names is touched.
  EXPECT_FALSE(settings.Contains(keys::section::kConvert, keys::kConfirmOverwrite));
}

struct ModeCase {
  int stored;
  int radio;
  int storedBack;
};

class GrabModeMapping : public testing::TestWithParam<ModeCase> {};

TEST_P(GrabModeMapping, ShowsAndStoresBack) {
  const ModeCase c = GetParam();
  MemorySettings settings;
  settings.WriteNumber(keys::section::kRip, keys::kGrabModePreset, c.stored);
  RipperSettingsValues values = RipperSettingsValues::Load(settings);
  EXPECT_EQ(RipperSettingsValues::RadioOf(values.grab_mode), c.radio);
  EXPECT_EQ(RipperSettingsValues::Read(settings).grab_mode, values.grab_mode);
  values.Save(settings);
  EXPECT_EQ(Stored(settings, keys::kGrabModePreset), c.storedBack);
}

INSTANTIATE_TEST_SUITE_P(Stored, GrabModeMapping,
                         testing::Values(ModeCase{1, 0, 1}, ModeCase{2, 1, 2}, ModeCase{3, 2, 3}, ModeCase{4, 3, 4},
                                         ModeCase{7, 1, 2}, ModeCase{9, 1, 2}, ModeCase{0, 1, 2}, ModeCase{-5, 1, 2}));

TEST(RipperSettingsValuesTest, ErrorActionAndRadioMappings) {
  // Stored action to radio: 1 and 2 as they are, anything else "Stop grabbing".
  for (auto [stored, radio] : {std::pair{0, 0}, {1, 1}, {2, 2}, {3, 0}, {-4, 0}})
    EXPECT_EQ(RipperSettingsValues::RadioOf(RipperSettingsValues::ErrorActionOf(stored)), radio) << stored;
  // Radio to stored action: 0 and 2 as they are, anything else (none checked) "Insert silence".
  for (auto [radio, stored] : {std::pair{0, 0}, {1, 1}, {2, 2}, {-1, 1}, {3, 1}})
    EXPECT_EQ(static_cast<int>(RipperSettingsValues::ErrorActionOfRadio(radio)), stored) << radio;
  EXPECT_EQ(RipperSettingsValues::GrabModeOfRadio(-1), GrabMode::Precision);
  const int refills[] = {0, 5, 10, 50};
  for (int radio = 0; radio < 4; ++radio)
    EXPECT_EQ(RipperSettingsValues::RetriesFor(RipperSettingsValues::GrabModeOfRadio(radio)), refills[radio]);
}

TEST(RipperSettingsValuesTest, RetriesTextIsClampedOrRefused) {
  for (auto [text, retries] : {std::pair{"5", 5},
                               {" 42 ", 42},
                               {"0", 0},
                               {"99", 99},
                               {"100", 99},
                               {"150", 99},
                               {"250", 99},
                               {"-3", 0},
                               {"+7", 7},
                               {"007", 7},
                               {"99999999999999999999", 99},
                               {"-99999999999999999999", 0}})
    EXPECT_EQ(RipperSettingsValues::ParseRetries(QString::fromLatin1(text)), std::optional<int>(retries)) << text;
  for (const char* text : {"", " ", "abc", "5x", "1.5", "1e3", "--3", "0x10"})
    EXPECT_EQ(RipperSettingsValues::ParseRetries(QString::fromLatin1(text)), std::nullopt) << text;

  // A value out of range that reached the store another way is clamped as it is read, and when
  // written back.
  MemorySettings settings;
  for (auto [stored, read] : {std::pair{150, 99}, {-3, 0}, {42, 42}}) {
    settings.WriteNumber(keys::section::kRip, keys::kGrabErrorRetries, stored);
    EXPECT_EQ(RipperSettingsValues::Load(settings).retries, read) << stored;
  }
  RipperSettingsValues values;
  values.retries = 150;
  values.Save(settings);
  EXPECT_EQ(Stored(settings, keys::kGrabErrorRetries), 99);
  values.retries = -3;
  values.Save(settings);
  EXPECT_EQ(Stored(settings, keys::kGrabErrorRetries), 0);
}

TEST(RipperSettingsValuesTest, VerifyLogAndAddressRoundTrip) {
  MemorySettings settings;
  RipperSettingsValues values;
  values.verify_accuraterip = false;
  values.rip_log = false;
  values.accuraterip_url = QStringLiteral(" http://127.0.0.1:8080/accuraterip/ ");
  values.Save(settings);
  EXPECT_EQ(Stored(settings, keys::kVerifyAccurateRip), 0);
  EXPECT_EQ(Stored(settings, keys::kRipLog), 0);
  const RipperSettingsValues loaded = RipperSettingsValues::Load(settings);
  EXPECT_FALSE(loaded.verify_accuraterip || loaded.rip_log);
  EXPECT_EQ(loaded.accuraterip_url, QStringLiteral("http://127.0.0.1:8080/accuraterip/"));
}

TEST(ReadOffsetSetting, EachDriveKeepsItsOwnOffsetInTheSettingsFile) {
  test::TestSettings profile;
  // Names with the characters the settings file treats specially, and one that is the prefix of
  // another.
  const QString drives[] = {QStringLiteral("HL-DT-ST DVDRAM GH24NSD1 LG00"), QStringLiteral("ACME CD/RW 9000 1.0"),
                            QStringLiteral("ACME back\\slash 100% =;# x"), QStringLiteral("ACME CD"),
                            QStringLiteral("PLEXTOR DVDR Ü 1.00")};
  const int offsets[] = {6, -472, 3000, 0, 1776};
  {
    FileSettings store;
    for (int i = 0; i < 5; ++i) WriteReadOffset(store, drives[i], offsets[i]);
    WriteReadOffset(store, QStringLiteral("  "), 30);  // no drive: nothing stored
  }
  FileSettings store;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ReadOffsetFor(store, drives[i]), offsets[i]) << drives[i].toStdString();
  EXPECT_EQ(ReadOffsetFor(store, QStringLiteral(" ACME CD/RW 9000 1.0 ")), -472);  // blanks around do not count
  EXPECT_EQ(ReadOffsetFor(store, QStringLiteral("ACME CD/RW")), 0);
  EXPECT_EQ(ReadOffsetFor(store, QString()), 0);
  // Every offset is one value of the ripper's section; no group was made of a name's "/".
  QSettings file(FileSettings().FilePath(), QSettings::IniFormat);
  file.beginGroup(QString::fromLatin1(keys::section::kRip));
  EXPECT_TRUE(file.childGroups().isEmpty()) << file.childGroups().join(u',').toStdString();
  EXPECT_EQ(file.childKeys().filter(QStringLiteral("Read Offset")).size(), 5);

  // Out of range, written or found stored, is clamped to what a drive can have.
  const auto name = [](const QString& drive) { return QByteArray(keys::kReadOffsetPrefix) + drive.toUtf8(); };
  WriteReadOffset(store, drives[0], -99999);
  EXPECT_EQ(store.ReadNumber(keys::section::kRip, name(drives[0]).constData(), 0), -3000);
  store.WriteNumber(keys::section::kRip, name(drives[1]).constData(), 8000);
  EXPECT_EQ(ReadOffsetFor(store, drives[1]), 3000);
}

}  // namespace
