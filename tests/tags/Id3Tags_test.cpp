#include <gtest/gtest.h>
#include <sys/resource.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2frame.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "probe/CMP3Info.h"
#include "support/SourceFixtures.h"
#include "tags/Id3Genres.h"
#include "tags/Id3v1.h"
#include "tags/Id3v2Tag.h"

namespace corvane {
namespace {

using test::ReadAll;
using test::WriteAll;

QString Q(const TagLib::String& text) { return QString::fromUtf8(text.toCString(true)); }

Mp3TagSet Tags(const QString& title, const QString& artist = {}, const QString& album = {}, const QString& year = {},
               const QString& comment = {}, const QString& track = {}, const QString& genre = {}) {
  return Mp3TagSet{true, SourceTags{title, artist, album, year, comment, track, genre}};
}

class Id3TagsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wav_ = dir_.filePath(QStringLiteral("tone.wav"));
    mp3_ = dir_.filePath(QStringLiteral("song.mp3"));
    test::MakeTone(wav_, 1.0, 44100, 2);
    test::RunTool(QStringLiteral("lame"),
                  {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"), wav_, mp3_});
    audio_ = ReadAll(mp3_);
  }
  QTemporaryDir dir_;
  QString wav_;
  QString mp3_;
  QByteArray audio_;
};

TEST(Id3Genres, ListHasTheKnownSpellings) {
  EXPECT_EQ(Id3Genres::Name(0), QStringLiteral("Blues"));
  EXPECT_EQ(Id3Genres::Name(67), QStringLiteral("Psychadelic"));
  EXPECT_EQ(Id3Genres::Name(118), QStringLiteral("Rhytmic Soul"));
  EXPECT_EQ(Id3Genres::Name(144), QStringLiteral("Trash Metal"));
  EXPECT_EQ(Id3Genres::Name(147), QStringLiteral("SynthPop"));
  EXPECT_EQ(Id3Genres::Name(148), QString());
  EXPECT_EQ(Id3Genres::Name(-1), QString());
  EXPECT_EQ(Id3Genres::IndexOf(QStringLiteral("hip-hop")), 7);
  EXPECT_EQ(Id3Genres::IndexOf(QStringLiteral("SYNTHPOP")), 147);
  EXPECT_EQ(Id3Genres::IndexOf(QStringLiteral("Polka Rock")), 255);
  EXPECT_EQ(Id3Genres::IndexOf(QString()), 255);
  for (int i = 0; i < Id3Genres::kCount; ++i) EXPECT_EQ(Id3Genres::IndexOf(Id3Genres::Name(i)), i) << i;
}

TEST_F(Id3TagsTest, Id3v1WrittenTwiceLeavesOneTagThatOtherReadersRead) {
  ASSERT_TRUE(WriteId3v1Tag(mp3_, Tags(QStringLiteral("First"))));
  ASSERT_TRUE(WriteId3v1Tag(
      mp3_, Tags(QStringLiteral("Café au lait"), QStringLiteral("Band"), QStringLiteral("Record"),
                 QStringLiteral("1984"), QStringLiteral("Remark"), QStringLiteral("7/12"), QStringLiteral("hip-hop"))));
  const QByteArray bytes = ReadAll(mp3_);
  ASSERT_EQ(bytes.size(), audio_.size() + 128);
  EXPECT_EQ(bytes.left(audio_.size()), audio_);
  const QByteArray tag = bytes.right(128);
  EXPECT_EQ(tag[125], 0);
  EXPECT_EQ(tag[126], 7);
  EXPECT_EQ(static_cast<unsigned char>(tag[127]), 7);
  EXPECT_EQ(static_cast<unsigned char>(tag[3 + 3]), 0xE9);  // ISO-8859-1 é

  TagLib::MPEG::File file(QFile::encodeName(mp3_).constData());
  ASSERT_TRUE(file.hasID3v1Tag());
  TagLib::ID3v1::Tag* v1 = file.ID3v1Tag();
  EXPECT_EQ(Q(v1->title()), QStringLiteral("Café au lait"));
  EXPECT_EQ(Q(v1->artist()), QStringLiteral("Band"));
  EXPECT_EQ(v1->year(), 1984u);
  EXPECT_EQ(v1->track(), 7u);
  EXPECT_EQ(Q(v1->genre()), QStringLiteral("Hip-Hop"));
  // FFmpeg passes ID3v1 bytes on as they are, so only ASCII is compared with it.
  EXPECT_EQ(test::ProbeTag(mp3_, QStringLiteral("artist")), QStringLiteral("Band"));

  CMP3Info info;
  ASSERT_TRUE(info.Open(mp3_));
  EXPECT_EQ(info.Id3v1().album, QStringLiteral("Record"));
  EXPECT_EQ(info.Id3v1().comment, QStringLiteral("Remark"));
  EXPECT_EQ(info.Id3v1().track, 7);
  EXPECT_EQ(info.Id3v1().genre, 7);
}

TEST(Id3v1Layout, FieldsAreCutAndNumbersClamped) {
  const QString longText = QStringLiteral("A title that is far longer than thirty characters");
  const QString comment = QStringLiteral("123456789012345678901234567890");
  QByteArray tag = Id3v1Tag::Build(SourceTags{longText,
                                              QStringLiteral("Город"),
                                              {},
                                              QStringLiteral("19999"),
                                              comment,
                                              QStringLiteral("300"),
                                              QStringLiteral("Polka Rock")});
  Id3v1Tag read = Id3v1Tag::Read(tag.constData());
  EXPECT_EQ(read.title, longText.left(30));
  EXPECT_EQ(read.artist, QStringLiteral("?????"));  // characters ISO-8859-1 cannot hold
  EXPECT_EQ(read.year, QStringLiteral("1999"));
  EXPECT_EQ(read.comment, comment.left(28));
  EXPECT_EQ(read.track, 255);
  EXPECT_EQ(read.genre, 255);

  tag = Id3v1Tag::Build(SourceTags{{}, {}, {}, {}, comment, QStringLiteral("-4"), {}});
  read = Id3v1Tag::Read(tag.constData());
  EXPECT_EQ(read.track, 0);
  EXPECT_EQ(read.comment, comment.left(28));

  tag = Id3v1Tag::Build(SourceTags{{}, {}, {}, {}, comment, QStringLiteral("none"), {}});
  read = Id3v1Tag::Read(tag.constData());
  EXPECT_EQ(read.comment, comment);  // no track: the whole 30 bytes
  EXPECT_EQ(read.track, 0);
}

TEST(Id3v2Needed, AutomaticModeRule) {
  EXPECT_FALSE(NeedsId3v2(Tags(QStringLiteral("Short"), {}, {}, QStringLiteral("123456"), {},
                               QStringLiteral("1234567890123456789012345678901"), QStringLiteral("Rock"))));
  EXPECT_TRUE(NeedsId3v2(Tags(QString(31, QLatin1Char('x')), {}, {}, {}, {}, {}, QStringLiteral("Rock"))));
  EXPECT_TRUE(NeedsId3v2(Tags({}, {}, {}, {}, QString(31, QLatin1Char('x')), {}, QStringLiteral("Rock"))));
  EXPECT_FALSE(NeedsId3v2(Tags(QString(30, QLatin1Char('x')), {}, {}, {}, {}, {}, QStringLiteral("rock"))));
  EXPECT_TRUE(NeedsId3v2(Tags(QStringLiteral("Short"), {}, {}, {}, {}, {}, QStringLiteral("Polka Rock"))));
}

TEST_F(Id3TagsTest, Id3v2TagIsReadByTagLibAndFfprobe) {
  const Mp3TagSet tags =
      Tags(QStringLiteral("Café"), QStringLiteral("Группа"), QStringLiteral("東京"), QStringLiteral("2003"),
           QStringLiteral("Long comment ✓"), QStringLiteral("3/9"), QStringLiteral("Polka Rock"));
  ASSERT_TRUE(WriteId3v2Tag(mp3_, tags));
  const QByteArray bytes = ReadAll(mp3_);
  const qint64 tagSize = Id3v2Tag::AudioStart(bytes.left(10), bytes.size());
  ASSERT_GT(tagSize, 0);
  EXPECT_EQ(bytes[3], 3);
  EXPECT_EQ(bytes.mid(tagSize), audio_);
  EXPECT_EQ(bytes.mid(tagSize - Id3v2Tag::kPadding, Id3v2Tag::kPadding), QByteArray(Id3v2Tag::kPadding, '\0'));
  // Text that fits ISO-8859-1 keeps encoding 0; other text is UTF-16 with a byte-order mark.
  const qsizetype title = bytes.indexOf("TIT2");
  EXPECT_EQ(bytes.mid(title + 10, 5), QByteArray("\0Caf\xE9", 5));
  const qsizetype artist = bytes.indexOf("TPE1");
  EXPECT_EQ(bytes.mid(artist + 10, 3), QByteArray("\1\xFF\xFE", 3));

  TagLib::MPEG::File file(QFile::encodeName(mp3_).constData());
  ASSERT_TRUE(file.hasID3v2Tag());
  TagLib::ID3v2::Tag* v2 = file.ID3v2Tag();
  EXPECT_EQ(v2->header()->majorVersion(), 3u);
  EXPECT_EQ(Q(v2->title()), QStringLiteral("Café"));
  EXPECT_EQ(Q(v2->artist()), QStringLiteral("Группа"));
  EXPECT_EQ(Q(v2->album()), QStringLiteral("東京"));
  EXPECT_EQ(Q(v2->comment()), QStringLiteral("Long comment ✓"));
  EXPECT_EQ(Q(v2->genre()), QStringLiteral("Polka Rock"));
  EXPECT_EQ(v2->year(), 2003u);
  EXPECT_EQ(v2->track(), 3u);
  EXPECT_EQ(test::ProbeTag(mp3_, QStringLiteral("artist")), QStringLiteral("Группа"));
  EXPECT_EQ(test::ProbeTag(mp3_, QStringLiteral("album")), QStringLiteral("東京"));
  EXPECT_EQ(test::ProbeTag(mp3_, QStringLiteral("genre")), QStringLiteral("Polka Rock"));
  EXPECT_NEAR(test::ProbeDuration(mp3_), test::ProbeDuration(wav_), 0.1);
}

TEST_F(Id3TagsTest, Id3v2ReplacesAVersion3TagAndKeepsAVersion2TagBehind) {
  const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
  ASSERT_TRUE(QFile::setPermissions(mp3_, permissions));
  ASSERT_TRUE(WriteId3v2Tag(mp3_, Tags(QStringLiteral("Old title"), QStringLiteral("Old artist"))));
  const QFile::Permissions ownerGroupOther(0x7077);
  EXPECT_EQ(QFile::permissions(mp3_) & ownerGroupOther, permissions);  // the replacement keeps them
  ASSERT_TRUE(WriteId3v2Tag(mp3_, Tags(QStringLiteral("New"))));
  QByteArray bytes = ReadAll(mp3_);
  const QByteArray expectedTag = Id3v2Tag::Build(Tags(QStringLiteral("New")).tags);
  EXPECT_EQ(bytes, expectedTag + audio_);

  QByteArray v22(
      "ID3\x02\x00\x00\x00\x00\x00\x0A"
      "TT2\x00\x00\x04\x00Old",
      20);
  ASSERT_TRUE(WriteAll(mp3_, v22 + audio_));
  ASSERT_TRUE(WriteId3v2Tag(mp3_, Tags(QStringLiteral("New"))));
  EXPECT_EQ(ReadAll(mp3_), expectedTag + v22 + audio_);
}

TEST_F(Id3TagsTest, NothingIsWrittenWithoutTextsOrFile) {
  EXPECT_FALSE(WriteId3v2Tag(mp3_, Mp3TagSet{}));
  EXPECT_EQ(ReadAll(mp3_), audio_);
  const QString absent = dir_.filePath(QStringLiteral("absent.mp3"));
  EXPECT_FALSE(WriteId3v2Tag(absent, Tags(QStringLiteral("x"))));
  EXPECT_FALSE(WriteId3v1Tag(absent, Tags(QStringLiteral("x"))));
  EXPECT_FALSE(QFile::exists(absent));
}

TEST_F(Id3TagsTest, FailedId3v2WriteLeavesTheOriginalUntouched) {
  // Let the write of the new file fail half-way, as a full disk would.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = static_cast<rlim_t>(audio_.size() / 2);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool written = WriteId3v2Tag(mp3_, Tags(QStringLiteral("Title")));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadAll(mp3_), audio_);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2);  // the WAV and the MP3, nothing left over
}

}  // namespace
}  // namespace corvane
