// Reading a path given as a device: which reader a file goes to, and the files refused before
// anything is read from them (a FIFO must never be opened: the test would hang).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"
#include "discimage/DiscImageReader.h"
#include "support/DiscImageFixture.h"
#include "support/FakeImageProbe.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

class DiscImageReaderTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return folder_.filePath(name); }
  ImageLayoutResult Read(const QString& name) { return ReadDiscImageLayout(Path(name), test::RawFileProbe()); }
  static QString Why(int id, const QString& path, QVariant more = {}) {
    return more.isValid() ? StringTable::Format(id, {path, more}) : StringTable::Format(id, {path});
  }

  QTemporaryDir folder_;
  test::DiscImageFixture fixture_{folder_.path()};
};

TEST_F(DiscImageReaderTest, ReadsEachKindByExtensionOrFooter) {
  test::DiscPlan plan;
  plan.tracks = {{300}, {200}};
  const test::DiscImage disc = fixture_.Build(QStringLiteral("disc"), plan);
  ASSERT_TRUE(QFile::rename(disc.cue, Path(QStringLiteral("DISC.CUE"))));
  const test::DiscImage nero = fixture_.BuildNrgDao(QStringLiteral("nero"), plan);
  ASSERT_TRUE(QFile::rename(nero.nrg, Path(QStringLiteral("nero.img"))));
  for (const QString& name : {QStringLiteral("DISC.CUE"), QStringLiteral("disc.toc"), QStringLiteral("nero.img")}) {
    const ImageLayoutResult read = Read(name);
    ASSERT_TRUE(read.Succeeded()) << name.toStdString() << ": " << read.status.text.toStdString();
    EXPECT_EQ(read.value->lead_out, 500) << name.toStdString();
    EXPECT_EQ(read.value->tracks.at(1).start, 300) << name.toStdString();
  }
}

TEST_F(DiscImageReaderTest, RefusesWhatIsNoImage) {
  const QString fifo = Path(QStringLiteral("pipe.cue"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("folder.toc")));
  QFile other(Path(QStringLiteral("notes.txt")));
  ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write("just text, no Nero footer") > 0);
  other.close();
  QFile huge(Path(QStringLiteral("huge.cue")));
  ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kImageMaxSheetBytes + 1));
  huge.close();
  // Sheets over an empty BIN and over a sparse 8 GiB one.
  for (const auto& [name, bytes] :
       {std::pair{QStringLiteral("empty"), 0LL}, std::pair{QStringLiteral("big"), 8LL << 30}}) {
    QFile bin(Path(name + QStringLiteral(".bin"))), sheet(Path(name + QStringLiteral(".cue")));
    ASSERT_TRUE(bin.open(QIODevice::WriteOnly) && bin.resize(bytes));
    ASSERT_TRUE(sheet.open(QIODevice::WriteOnly));
    sheet.write("FILE \"" + name.toUtf8() + ".bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  }
  const struct {
    QString name;
    QString why;
  } cases[] = {
      {QStringLiteral("empty.cue"), StringTable::Format(text::kDataFileEmpty, {1, QStringLiteral("empty.bin")})},
      {QStringLiteral("big.cue"), StringTable::Format(text::kLayoutTooLong, {812})},
      {QStringLiteral("pipe.cue"), Why(text::kImageNotRegular, fifo)},
      {QStringLiteral("folder.toc"), Why(text::kImageNotRegular, Path(QStringLiteral("folder.toc")))},
      {QStringLiteral("gone.cue"), Why(text::kImageNotFound, Path(QStringLiteral("gone.cue")))},
      {QStringLiteral("notes.txt"), Why(text::kImageUnknownType, Path(QStringLiteral("notes.txt")))},
      {QStringLiteral("huge.cue"),
       Why(text::kImageSheetTooLarge, Path(QStringLiteral("huge.cue")), kImageMaxSheetBytes)},
  };
  for (const auto& refused : cases) {
    const ImageLayoutResult read = Read(refused.name);
    EXPECT_FALSE(read.Succeeded()) << refused.name.toStdString();
    EXPECT_EQ(read.status.text, refused.why);
  }
}

// FILE names that do not match the folder's files exactly, and names that would leave it.
TEST_F(DiscImageReaderTest, DataFileNamesResolveInsideTheSheetsFolder) {
  // The sheet lies in inner/; a beside.bin one folder up must never be taken.
  ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("inner")));
  const QByteArray pcm = test::DiscImageFixture::TrackPcm(1, 100);
  for (const QString& name : {QStringLiteral("inner/Album.FLAC"), QStringLiteral("inner/upper.bin"),
                              QStringLiteral("inner/beside.bin"), QStringLiteral("beside.bin")}) {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(pcm) == pcm.size());
  }
  const struct {
    QByteArray file_line;
    QString found;
  } cases[] = {
      {"FILE \"album.wav\" WAVE", QStringLiteral("inner/Album.FLAC")},                // other extension and case
      {"FILE \"UPPER.BIN\" BINARY", QStringLiteral("inner/upper.bin")},               // other case
      {"FILE \"C:\\rips\\beside.bin\" BINARY", QStringLiteral("inner/beside.bin")},   // absolute Windows name
      {"FILE \"/elsewhere/beside.bin\" BINARY", QStringLiteral("inner/beside.bin")},  // absolute name
      {"FILE \"../beside.bin\" BINARY", QStringLiteral("inner/beside.bin")},          // climbs out of the folder
  };
  for (const auto& resolved : cases) {
    QFile sheet(Path(QStringLiteral("inner/sheet.cue")));
    ASSERT_TRUE(sheet.open(QIODevice::WriteOnly | QIODevice::Truncate));
    sheet.write(resolved.file_line + "\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    sheet.close();
    const ImageLayoutResult read = Read(QStringLiteral("inner/sheet.cue"));
    ASSERT_TRUE(read.Succeeded()) << resolved.file_line.constData() << ": " << read.status.text.toStdString();
    EXPECT_EQ(read.value->files.at(0).path, Path(resolved.found)) << resolved.file_line.constData();
  }
}

}  // namespace
}  // namespace corvane
