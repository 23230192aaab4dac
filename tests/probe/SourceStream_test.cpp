// Opening a source for the list: the MP3 check on MPEG files, the playing time and the size of the
// audio part, and what a refused file leaves alone.
#include "probe/SourceStream.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "engine/CAudioEngine.h"
#include "probe/CMP3Info.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

using test::MakeTone;

class SourceStreamTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(engine_.BindAll().Succeeded()); }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
  CAudioEngine engine_;
};

TEST_F(SourceStreamTest, OpenSourceStreamChecksMpegAndGivesTheAudioSize) {
  const QString mp3 = Path(QStringLiteral("tagged.mp3"));
  MakeTone(
      mp3, 2.0, 44100, 2,
      {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-metadata"), QStringLiteral("title=x")});
  std::unique_ptr<DecodeStream> stream;
  CMP3Info mp3Info;
  qint64 size = -1;
  const EngineResult<qint64> ms = OpenSourceStream(engine_, mp3, stream, mp3Info, size);
  ASSERT_TRUE(ms.Succeeded());
  EXPECT_NEAR(*ms.value, 2000, 60);
  ASSERT_TRUE(stream);
  EXPECT_TRUE(mp3Info.HasFrame());
  EXPECT_GT(stream->AudioDataStart(), 0);
  EXPECT_EQ(size, QFile(mp3).size() - stream->AudioDataStart());

  const QString wav = Path(QStringLiteral("tone.wav"));
  MakeTone(wav, 1.0, 22050, 1);
  EXPECT_EQ(OpenSourceStream(engine_, wav, stream, mp3Info, size).value, 1000);
  EXPECT_FALSE(mp3Info.HasFrame());  // reset for other types
  EXPECT_EQ(size, QFile(wav).size() - stream->AudioDataStart());
  EXPECT_EQ(size, 22050 * 2);

  const QString wma = Path(QStringLiteral("tone.wma"));
  MakeTone(wma, 1.0, 44100, 2, {QStringLiteral("-c:a"), QStringLiteral("wmav2")});
  EXPECT_TRUE(OpenSourceStream(engine_, wma, stream, mp3Info, size).Succeeded());
  EXPECT_EQ(size, QFile(wma).size());  // not reduced for Windows Media
}

TEST_F(SourceStreamTest, MpegWithoutFindableFramesIsRefusedWithAReason) {
  const QString fake = Path(QStringLiteral("wave.mp3"));
  MakeTone(fake, 1.0, 44100, 2, {QStringLiteral("-f"), QStringLiteral("wav")});
  std::unique_ptr<DecodeStream> stream;
  CMP3Info mp3Info;
  qint64 size = 0;
  EXPECT_EQ(OpenSourceStream(engine_, fake, stream, mp3Info, size).status.code, EngineError::FileFormat);
  EXPECT_FALSE(stream);

  // An unrecognised file leaves the caller's stream and size alone.
  const QString wav = Path(QStringLiteral("good.wav"));
  MakeTone(wav, 0.5, 8000, 1);
  ASSERT_TRUE(OpenSourceStream(engine_, wav, stream, mp3Info, size).Succeeded());
  const qint64 keptSize = size;
  const QString junk = Path(QStringLiteral("junk.xyz"));
  ASSERT_TRUE(test::WriteAll(junk, QByteArray(4000, 'j')));
  EXPECT_EQ(OpenSourceStream(engine_, junk, stream, mp3Info, size).status.code, EngineError::FileFormat);
  EXPECT_TRUE(stream);
  EXPECT_EQ(size, keptSize);
}

}  // namespace
}  // namespace corvane
