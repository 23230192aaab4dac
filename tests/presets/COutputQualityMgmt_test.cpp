// The preset file: its layout, location, migrations, edits, and that a failed write never costs
// the user the presets already on disk.
#include "presets/COutputQualityMgmt.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "common/FileSettings.h"
#include "common/SettingsKeys.h"
#include "formats/QualityPanelState.h"
#include "support/ScriptedUserInterface.h"
#include "support/SourceFixtures.h"
#include "support/TestSettings.h"

namespace corvane {
namespace {

QByteArray Item(int n, const char* name, int format, int rate, int bitrate, int channels, int bits, int wma,
                int musepack) {
  return QStringLiteral(
             "[QualityItem_%1]\nNAME=%2\nFormat=%3\nSampleRate=%4\nBitrate=%5\nChannel=%6\nBitPerSample=%7\n"
             "WMAProfile=%8\nWAVCodec=0\nMACQuality=%9\nMP3VBRQuality=4\nVBRENABLED=0\n")
      .arg(n, 2, 10, QLatin1Char('0'))
      .arg(QString::fromLatin1(name))
      .arg(format)
      .arg(rate)
      .arg(bitrate)
      .arg(channels)
      .arg(bits)
      .arg(wma)
      .arg(musepack)
      .toUtf8();
}

const QByteArray kDefaultFile =
    "[QualityVersion]\nVersion=5.0\n[QualityTotal]\nTotal=5\n" + Item(1, "HiFi Quality", 1, 48000, 192, 2, 16, 90, 6) +
    Item(2, "CD Quality", 1, 44100, 128, 2, 16, 90, 4) + Item(3, "FM Radio Quality", 1, 22050, 96, 2, 16, 10, 3) +
    Item(4, "AM Radio Quality", 1, 22050, 96, 1, 16, 10, 2) + Item(5, "Telephone Quality", 1, 11025, 32, 1, 8, 10, 0);

QStringList Names(const COutputQualityMgmt& presets) {
  QStringList names;
  for (int i = 0; i < presets.Count(); ++i) names << presets.At(i).name;
  return names;
}

class PresetFile : public testing::Test {
 protected:
  QString Path() const { return dir_.filePath(QStringLiteral("Bexlor.ini")); }

  test::TestSettings settings_;
  FileSettings store_;
  test::ScriptedUserInterface ui_;
  QTemporaryDir dir_;
  COutputQualityMgmt presets_{store_};
};

TEST_F(PresetFile, FirstStartWritesTheFiveDefaultsInTheSettingsFolder) {
  ASSERT_TRUE(presets_.Load(QString(), ui_));
  const QString folder = store_.FolderPath();
  EXPECT_EQ(store_.ReadText(keys::section::kOutputQuality, keys::kConfigFilePath), folder);
  EXPECT_EQ(presets_.Path(), folder + QStringLiteral("/Bexlor.ini"));
  EXPECT_EQ(test::ReadAll(presets_.Path()), kDefaultFile);
  EXPECT_EQ(Names(presets_),
            (QStringList{"HiFi Quality", "CD Quality", "FM Radio Quality", "AM Radio Quality", "Telephone Quality"}));
  EXPECT_TRUE(ui_.messages.empty());

  // A stored folder is honoured as it is.
  store_.WriteText(keys::section::kOutputQuality, keys::kConfigFilePath, dir_.path());
  COutputQualityMgmt other(store_);
  other.Load(QString(), ui_);
  EXPECT_EQ(other.Path(), Path());
  EXPECT_EQ(test::ReadAll(Path()), kDefaultFile);
}

TEST_F(PresetFile, Version20FilesAreMigratedOnceAndRewritten) {
  ASSERT_TRUE(test::WriteAll(Path(),
                             "[QualityVersion]\r\nVersion=2.0\r\n[QualityTotal]\r\nTotal=3\r\n"
                             "[QualityItem_01]\r\nNAME=Old Wav\r\nFormat=1\r\nWMAProfile=10\r\n"
                             "[QualityItem_02]\r\nNAME=Old Mp3\r\nFormat=2\r\n"
                             "[qualityitem_03]\r\nname=\"Old Ogg\"\r\nformat=6\r\n"));
  presets_.Load(Path(), ui_);
  ASSERT_EQ(presets_.Count(), 3);
  EXPECT_EQ(presets_.At(0).settings.format, FormatCode::Wav);
  EXPECT_EQ(presets_.At(1).settings.format, FormatCode::Mp3);
  EXPECT_EQ(presets_.At(2).settings.format, FormatCode::Ogg);
  EXPECT_EQ(presets_.At(2).name, QStringLiteral("Old Ogg"));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(presets_.At(i).settings.wma_quality, 90);
  const QByteArray rewritten = test::ReadAll(Path());
  EXPECT_TRUE(rewritten.startsWith("[QualityVersion]\nVersion=5.0\n[QualityTotal]\nTotal=3\n"));

  COutputQualityMgmt again(store_);
  again.Load(Path(), ui_);
  EXPECT_EQ(test::ReadAll(Path()), rewritten);  // the next start changes nothing
  EXPECT_EQ(again.At(0).settings.format, FormatCode::Wav);
}

TEST_F(PresetFile, MissingVersionAndKeysReadTheirDefaults) {
  ASSERT_TRUE(test::WriteAll(Path(), "[QualityTotal]\nTotal=2\n[QualityItem_01]\nFormat=11\nWMAProfile=50\n"));
  presets_.Load(Path(), ui_);
  ASSERT_EQ(presets_.Count(), 2);
  EXPECT_EQ(presets_.At(0).settings.format, FormatCode::Wma);  // old WMA code
  EXPECT_EQ(presets_.At(0).settings.wma_quality, 90);
  const OutputQuality& missing = presets_.At(1);
  EXPECT_EQ(missing.name, QStringLiteral("UNKNOW"));
  EXPECT_EQ(missing.settings, (EncodeSettings{FormatCode::Mp3, 44100, 0, 2, 16, 90, 3, 4, false,
                                              WavCodec::Pcm}));  // format 0 migrates to MP3
  EXPECT_TRUE(test::ReadAll(Path()).contains("Version=5.0"));
}

TEST_F(PresetFile, RemovingTheSecondOfFiveRenumbersTheRest) {
  presets_.Load(Path(), ui_);
  ASSERT_TRUE(presets_.RemovePreset(2, ui_));
  const QByteArray expected =
      "[QualityVersion]\nVersion=5.0\n[QualityTotal]\nTotal=4\n" +
      Item(1, "HiFi Quality", 1, 48000, 192, 2, 16, 90, 6) + Item(2, "FM Radio Quality", 1, 22050, 96, 2, 16, 10, 3) +
      Item(3, "AM Radio Quality", 1, 22050, 96, 1, 16, 10, 2) + Item(4, "Telephone Quality", 1, 11025, 32, 1, 8, 10, 0);
  EXPECT_EQ(test::ReadAll(Path()), expected);
  EXPECT_FALSE(presets_.RemovePreset(5, ui_));
  EXPECT_EQ(presets_.Count(), 4);
}

TEST_F(PresetFile, UpdateRewritesOneSectionAndAddAppendsOne) {
  ASSERT_TRUE(test::WriteAll(Path(), kDefaultFile + "; kept comment\n"));
  presets_.Load(Path(), ui_);
  const EncodeSettings wav{FormatCode::Wav, 22050, 0, 1, 8, 90, 3, 4, false, WavCodec::ALaw};
  ASSERT_TRUE(presets_.UpdatePreset(3, wav, ui_));
  EXPECT_EQ(presets_.At(2).name, QStringLiteral("FM Radio Quality"));
  QByteArray expected = kDefaultFile + "; kept comment\n";
  expected.replace(Item(3, "FM Radio Quality", 1, 22050, 96, 2, 16, 10, 3),
                   QByteArray("[QualityItem_03]\nNAME=FM Radio Quality\nFormat=2\nSampleRate=22050\nBitrate=0\n"
                              "Channel=1\nBitPerSample=8\nWMAProfile=90\nWAVCodec=2\nMACQuality=3\n"
                              "MP3VBRQuality=4\nVBRENABLED=0\n"));
  EXPECT_EQ(test::ReadAll(Path()), expected);
  EXPECT_FALSE(presets_.UpdatePreset(6, wav, ui_));

  const QString longName(120, QLatin1Char('x'));
  EXPECT_EQ(presets_.AddPreset(OutputQuality{longName, wav}, ui_), 6);
  EXPECT_EQ(presets_.At(5).name, longName.left(99));
  EXPECT_TRUE(test::ReadAll(Path()).contains("Total=6\n"));
  COutputQualityMgmt reread(store_);
  reread.Load(Path(), ui_);
  EXPECT_EQ(reread.At(5).name.size(), 99);
  EXPECT_EQ(reread.At(5).settings, wav);
}

TEST_F(PresetFile, FillListPutsTheNamesInFileOrder) {
  presets_.Load(Path(), ui_);
  ComboBoxState list;
  list.items << QStringLiteral("stale");
  list.selected = 0;
  EXPECT_EQ(presets_.FillList(list), 5);
  EXPECT_EQ(list.items, Names(presets_));
  EXPECT_EQ(list.selected, -1);
}

// Writes are limited to `bytes` per file for the life of the object, as on a nearly full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

TEST_F(PresetFile, AFailedFullSaveLeavesTheOldFileWholeAndSays108) {
  presets_.Load(Path(), ui_);
  presets_.AddPreset(OutputQuality{QStringLiteral("Mine"),
                                   EncodeSettings{FormatCode::Ogg, 44100, 128, 2, 16, 90, 3, 4, false, WavCodec::Pcm}},
                     ui_);
  const QByteArray before = test::ReadAll(Path());
  ASSERT_GT(before.size(), 400);
  {
    FileSizeLimit nearlyFull(200);
    EXPECT_FALSE(presets_.RemovePreset(1, ui_));
    EXPECT_FALSE(presets_.ResetPresets(ui_));
    EXPECT_EQ(presets_.AddPreset(OutputQuality{QStringLiteral("More"), {}}, ui_), 5);
  }
  EXPECT_EQ(test::ReadAll(Path()), before);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{QStringLiteral("Bexlor.ini")});  // no leftovers
  ASSERT_EQ(ui_.messages.size(), 3u);
  for (const auto& message : ui_.messages) {
    EXPECT_EQ(message.text, QStringLiteral("Failed to initialize/update the config file!"));
    EXPECT_EQ(message.icon, MessageIcon::Error);
  }
  // The failed reset left the defaults in memory only; the next write goes through.
  EXPECT_EQ(presets_.Count(), 5);
  EXPECT_TRUE(presets_.RemovePreset(1, ui_));
  EXPECT_EQ(presets_.Count(), 4);
  EXPECT_TRUE(test::ReadAll(Path()).contains("Total=4\n"));
}

TEST_F(PresetFile, AnUnwritableLocationSays108AndStillOffersTheDefaults) {
  presets_.Load(dir_.filePath(QStringLiteral("no/such/folder/Bexlor.ini")), ui_);
  EXPECT_EQ(presets_.Count(), 5);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, QStringLiteral("Failed to initialize/update the config file!"));
}

TEST_F(PresetFile, ADamagedTotalIsBounded) {
  ASSERT_TRUE(test::WriteAll(Path(), "[QualityVersion]\nVersion=5.0\n[QualityTotal]\nTotal=2000000000\n"));
  presets_.Load(Path(), ui_);
  EXPECT_LE(presets_.Count(), 9999);
  ASSERT_TRUE(test::WriteAll(Path(), "[QualityVersion]\nVersion=5.0\n[QualityTotal]\nTotal=-3\n"));
  presets_.Load(Path(), ui_);
  EXPECT_EQ(presets_.Count(), 0);
}

TEST_F(PresetFile, ARewriteOfADamagedFileKeepsTheOldOneAsBak) {
  // A head damaged so the version is lost (a FLAC preset would migrate to Ogg), and a binary file.
  const QByteArray damaged =
      "[QualityVers\x01on]\nVersion=5.0\n[QualityTotal]\nTotal=1\n" + Item(1, "Lossless", 7, 44100, 0, 2, 16, 90, 4);
  QByteArray binary(4096, '\0');
  for (int i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>((i * 131) % 251);
  for (const QByteArray& original : {damaged, binary}) {
    ASSERT_TRUE(test::WriteAll(Path(), original));
    ui_.messages.clear();
    presets_.Load(Path(), ui_);
    EXPECT_EQ(test::ReadAll(Path() + QStringLiteral(".bak")), original);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_TRUE(ui_.messages[0].text.contains(Path() + QStringLiteral(".bak"))) << qPrintable(ui_.messages[0].text);
    EXPECT_GT(presets_.Count(), 0) << "never an empty list";
  }
  // A file of the current version is read as it is: no copy, no message.
  QFile::remove(Path() + QStringLiteral(".bak"));
  ui_.messages.clear();
  presets_.Load(Path(), ui_);
  EXPECT_FALSE(QFile::exists(Path() + QStringLiteral(".bak")));
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace corvane
