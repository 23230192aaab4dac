#include "tags/SourceFileServices.h"

#include <gtest/gtest.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/wavfile.h>

#include <QFile>
#include <QTemporaryDir>

#include "engine/CAudioEngine.h"
#include "support/SourceFixtures.h"
#include "tags/Id3v1.h"

namespace corvane {
namespace {

using test::MakeTone;

QString Q(const TagLib::String& text) { return QString::fromUtf8(text.toCString(true)); }

// Records the calls made on it, in order, with their values.
class RecordingTagComponent final : public ITagComponent {
 public:
  explicit RecordingTagComponent(QStringList& calls) : calls_(calls) {}
  bool LoadTags(const QString&) override { return Log(QStringLiteral("Load")); }
  bool SaveTags(const QString&) override { return Log(QStringLiteral("Save")); }
  void SetTagKind(int kind) override { Log(QStringLiteral("Kind=%1").arg(kind)); }
  QString Album() const override { return {}; }
  void SetAlbum(const QString& v) override { Log(QStringLiteral("Album=") + v); }
  QString Artist() const override { return {}; }
  void SetArtist(const QString& v) override { Log(QStringLiteral("Artist=") + v); }
  QString Comment() const override { return {}; }
  void SetComment(const QString& v) override { Log(QStringLiteral("Comment=") + v); }
  void SetGenreIndex(qint16 v) override { Log(QStringLiteral("GenreIndex=%1").arg(v)); }
  QString Title() const override { return {}; }
  void SetTitle(const QString& v) override { Log(QStringLiteral("Title=") + v); }
  qint32 Year() const override { return 0; }
  void SetYear(qint32 v) override { Log(QStringLiteral("Year=%1").arg(v)); }
  qint16 Track() const override { return 0; }
  void SetTrack(int v) override { Log(QStringLiteral("Track=%1").arg(v)); }
  QString Genre() const override { return {}; }
  void SetGenre(const QString& v) override { Log(QStringLiteral("Genre=") + v); }

 private:
  bool Log(const QString& call) const {
    calls_ << call;
    return true;
  }
  QStringList& calls_;
};

SourceTags Sample() {
  return SourceTags{
      QStringLiteral("Ærø Ünïcode 東京"), QStringLiteral("Artist"), QStringLiteral("Album"), QStringLiteral("1999"),
      QStringLiteral("Comment"),          QStringLiteral("4"),      QStringLiteral("Rock")};
}

class SourceFileServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(engine_.BindAll().Succeeded()); }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
  CAudioEngine engine_;
};

TEST_F(SourceFileServicesTest, WavTagsAreWrittenAsInfoAndId3v2ChunksWithoutPadding) {
  const QString wav = Path(QStringLiteral("out.wav"));
  MakeTone(wav, 0.5, 44100, 2);
  const QByteArray pcm = test::DecodeWithFfmpeg(wav);
  ASSERT_TRUE(SourceFileServices::WriteFileTags(wav, Sample()));
  EXPECT_EQ(test::DecodeWithFfmpeg(wav), pcm);

  TagLib::RIFF::WAV::File file(QFile::encodeName(wav).constData());
  ASSERT_TRUE(file.hasInfoTag());
  ASSERT_TRUE(file.hasID3v2Tag());
  EXPECT_EQ(Q(file.InfoTag()->title()), Sample().title);
  EXPECT_EQ(Q(file.ID3v2Tag()->title()), Sample().title);
  EXPECT_EQ(Q(file.ID3v2Tag()->genre()), QStringLiteral("Rock"));
  EXPECT_EQ(file.ID3v2Tag()->year(), 1999u);
  EXPECT_EQ(file.ID3v2Tag()->track(), 4u);
  EXPECT_EQ(test::ProbeTag(wav, QStringLiteral("title")), Sample().title);

  SourceTags read;
  ASSERT_TRUE(SourceFileServices::ReadFileTags(wav, read));
  EXPECT_EQ(read, Sample());
}

TEST_F(SourceFileServicesTest, WavGenreNumbersInParenthesesBecomeNames) {
  const QString wav = Path(QStringLiteral("genre.wav"));
  MakeTone(wav, 0.2, 8000, 1);
  struct Case {
    QString written;
    QString read;
  };
  for (const Case& c :
       {Case{QStringLiteral("(17)"), QStringLiteral("Rock")}, Case{QStringLiteral("17"), QStringLiteral("17")},
        Case{QStringLiteral("(200)"), QString()}, Case{QStringLiteral("Jazz"), QStringLiteral("Jazz")}}) {
    SourceTags tags;
    tags.genre = c.written;
    ASSERT_TRUE(SourceFileServices::WriteFileTags(wav, tags));
    SourceTags read;
    read.title = QStringLiteral("stale");
    ASSERT_TRUE(SourceFileServices::ReadFileTags(wav, read));
    EXPECT_EQ(read.genre, c.read) << c.written.toStdString();
    EXPECT_EQ(read.title, QString());
    EXPECT_EQ(read.year, QString());  // no year stored: no "0"
    EXPECT_EQ(read.track, QString());
  }
}

TEST_F(SourceFileServicesTest, OggTagsAreVorbisComments) {
  const QString ogg = Path(QStringLiteral("out.ogg"));
  MakeTone(ogg, 0.5, 44100, 2, {QStringLiteral("-c:a"), QStringLiteral("libvorbis")});
  ASSERT_TRUE(SourceFileServices::WriteFileTags(ogg, Sample()));
  EXPECT_EQ(test::ProbeTag(ogg, QStringLiteral("TITLE")), Sample().title);
  EXPECT_EQ(test::ProbeTag(ogg, QStringLiteral("ARTIST")), QStringLiteral("Artist"));
  EXPECT_EQ(test::ProbeTag(ogg, QStringLiteral("GENRE")), QStringLiteral("Rock"));
  SourceTags read;
  ASSERT_TRUE(SourceFileServices::ReadFileTags(ogg, read));
  EXPECT_EQ(read.title, Sample().title);
  EXPECT_EQ(read.album, QStringLiteral("Album"));
  EXPECT_EQ(read.year, QStringLiteral("1999"));
  EXPECT_EQ(read.track, QStringLiteral("4"));
}

TEST_F(SourceFileServicesTest, EngineTagsOfMp3IncludeLatin1Id3v1) {
  const QString mp3 = Path(QStringLiteral("v1.mp3"));
  MakeTone(mp3, 0.5, 44100, 2,
           {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-write_id3v2"), QStringLiteral("0")});
  ASSERT_TRUE(WriteId3v1Tag(mp3, Mp3TagSet{true, SourceTags{QStringLiteral("Café"),
                                                            QStringLiteral("Band"),
                                                            {},
                                                            {},
                                                            {},
                                                            QStringLiteral("2"),
                                                            QStringLiteral("Blues")}}));
  SourceTags read;
  ASSERT_TRUE(SourceFileServices::ReadFileTags(mp3, read));
  EXPECT_EQ(read.title, QStringLiteral("Café"));
  EXPECT_EQ(read.artist, QStringLiteral("Band"));
  EXPECT_EQ(read.genre, QStringLiteral("Blues"));

  SourceTags untouched;
  untouched.title = QStringLiteral("keep");
  EXPECT_FALSE(SourceFileServices::ReadFileTags(Path(QStringLiteral("gone.ogg")), untouched));
  EXPECT_EQ(untouched.title, QStringLiteral("keep"));
}

TEST(WriteFileTagsCalls, OrderValuesAndGenreIndex) {
  QStringList calls;
  const TagComponentFactory factory = [&calls] { return std::make_unique<RecordingTagComponent>(calls); };
  SourceTags tags{QStringLiteral("T"),          QStringLiteral("A"), QStringLiteral("L"),
                  QStringLiteral("2004-05-01"), QStringLiteral("C"), QStringLiteral("7/12"),
                  QStringLiteral("Polka Rock")};
  ASSERT_TRUE(SourceFileServices::WriteFileTags(QStringLiteral("/x.wav"), tags, factory));
  EXPECT_EQ(calls, QStringList({QStringLiteral("Title=T"), QStringLiteral("Album=L"), QStringLiteral("Artist=A"),
                                QStringLiteral("Comment=C"), QStringLiteral("Genre=Polka Rock"),
                                QStringLiteral("GenreIndex=199"), QStringLiteral("Year=2004"),
                                QStringLiteral("Track=7"), QStringLiteral("Kind=1"), QStringLiteral("Save")}));
  calls.clear();
  tags = SourceTags{};
  tags.genre = QStringLiteral("hip-hop");
  tags.year = QStringLiteral("soon");
  ASSERT_TRUE(SourceFileServices::WriteFileTags(QStringLiteral("/x.wav"), tags, factory));
  EXPECT_TRUE(calls.contains(QStringLiteral("GenreIndex=7")));
  EXPECT_TRUE(calls.contains(QStringLiteral("Year=0")));

  const TagComponentFactory missing = [] { return std::unique_ptr<ITagComponent>(); };
  EXPECT_FALSE(SourceFileServices::WriteFileTags(QStringLiteral("/x.wav"), tags, missing));
  SourceTags read;
  read.title = QStringLiteral("old");
  EXPECT_FALSE(SourceFileServices::ReadFileTags(QStringLiteral("/x.wav"), read, missing));
  EXPECT_EQ(read.title, QString());
}

TEST(WriteFileTagsFailure, MissingTargetReportsFalse) {
  QTemporaryDir dir;
  const QString absent = dir.filePath(QStringLiteral("absent.wav"));
  EXPECT_FALSE(SourceFileServices::WriteFileTags(absent, Sample()));
  EXPECT_FALSE(QFile::exists(absent));
}

}  // namespace
}  // namespace corvane
