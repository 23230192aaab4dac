#include "engine/AudioFileServices.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/StringTable.h"
#include "engine/CAudioEngine.h"
#include "engine/InputTypes.h"
#include "support/ScriptedUserInterface.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

using test::MakeTone;

class AudioFileServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(engine_.BindAll().Succeeded()); }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
  CAudioEngine engine_;
};

TEST(InputTypes, TableRowsAndListTexts) {
  EXPECT_EQ(InputTypes::Extension(1), QStringLiteral("mp3"));
  EXPECT_EQ(InputTypes::Extension(27), QStringLiteral("aix"));
  EXPECT_EQ(InputTypes::Extension(0), QString());
  EXPECT_EQ(InputTypes::Extension(28), QString());
  EXPECT_EQ(InputTypes::ListText(0), QStringLiteral("All supported audio files"));
  EXPECT_EQ(InputTypes::ListText(15), QStringLiteral("mp+ files"));
  EXPECT_EQ(InputTypes::ListText(23), QStringLiteral("CD Audio"));
  EXPECT_EQ(InputTypes::ListText(-1), QString());
  EXPECT_EQ(InputTypes::RowOfListText(QStringLiteral("wv files")), 21);
  EXPECT_EQ(InputTypes::RowOfListText(QStringLiteral("WV files")), 0);
  EXPECT_EQ(InputTypes::ListTexts().size(), 28);
  EXPECT_EQ(InputTypes::ByExtension(QStringLiteral("M4A")), InputType::AppleLossless);
  EXPECT_EQ(InputTypes::ByExtension(QStringLiteral("mpa")), InputType::Unknown);
  EXPECT_EQ(InputTypeOfChannel(ChannelType::FlacOgg), InputType::Flac);
  EXPECT_EQ(InputTypeOfChannel(ChannelType::WmaMp3), InputType::Wma);
  EXPECT_EQ(InputTypeOfChannel(ChannelType::Opus), InputType::Unknown);
  EXPECT_EQ(InputTypeOfChannel(static_cast<ChannelType>(0x40002)), InputType::Unknown);
}

TEST_F(AudioFileServicesTest, DetectsByExtensionOrByContent) {
  EXPECT_EQ(DetectInputType(QStringLiteral("/no/such/song.MP3")), InputType::Mpeg);
  EXPECT_EQ(DetectInputType(QStringLiteral("/no/such/song.mp3")), InputType::Mpeg);
  EXPECT_EQ(DetectInputType(QStringLiteral("/no/such/song.m4a")), InputType::AppleLossless);

  const QString mpa = Path(QStringLiteral("layer2.mpa"));
  MakeTone(mpa, 0.5, 44100, 2,
           {QStringLiteral("-c:a"), QStringLiteral("mp2"), QStringLiteral("-f"), QStringLiteral("mp2")});
  EXPECT_EQ(DetectInputType(mpa), InputType::Mpeg);
  const QString wavAsMpa = Path(QStringLiteral("wave.mpa"));
  MakeTone(wavAsMpa, 0.5, 44100, 2, {QStringLiteral("-f"), QStringLiteral("wav")});
  EXPECT_EQ(DetectInputType(wavAsMpa), InputType::Wav);

  const QString mp4AsAac = Path(QStringLiteral("really-mp4.aac"));
  MakeTone(mp4AsAac, 0.5, 44100, 2,
           {QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-f"), QStringLiteral("mp4")});
  EXPECT_EQ(DetectInputType(mp4AsAac), InputType::Mp4);
  const QString adts = Path(QStringLiteral("plain.aac"));
  MakeTone(adts, 0.5, 44100, 2, {QStringLiteral("-c:a"), QStringLiteral("aac")});
  EXPECT_EQ(DetectInputType(adts), InputType::Aac);

  const QString bare = Path(QStringLiteral("noextension"));
  MakeTone(bare, 0.5, 44100, 2, {QStringLiteral("-f"), QStringLiteral("flac")});
  EXPECT_EQ(DetectInputType(bare), InputType::Flac);

  EXPECT_EQ(DetectInputType(Path(QStringLiteral("absent"))), InputType::Unknown);
  EXPECT_EQ(DetectKnownInputType(Path(QStringLiteral("absent"))).status.code, EngineError::FileOpen);
  const QString junk = Path(QStringLiteral("junk.xyz"));
  ASSERT_TRUE(test::WriteAll(junk, QByteArray(5000, '\x5a')));
  EXPECT_EQ(DetectInputType(junk), InputType::Unknown);
  EXPECT_EQ(DetectKnownInputType(junk).status.code, EngineError::FileFormat);
}

TEST_F(AudioFileServicesTest, PlaybackStreamIsDecodeOnlyWithoutAnOutputDevice) {
  const QString wav = Path(QStringLiteral("play.wav"));
  MakeTone(wav, 1.5, 44100, 2);
  EXPECT_EQ(engine_.OutputDeviceFlag(), 0);
  std::unique_ptr<DecodeStream> stream;
  qint64 size = -1;
  EXPECT_EQ(AudioFileServices::OpenPlaybackStream(engine_, wav, stream, size).value, 1500);
  ASSERT_TRUE(stream);
  EXPECT_FALSE(stream->Playable());
  EXPECT_EQ(size, QFile(wav).size());

  const EngineResult<qint64> gone =
      AudioFileServices::OpenPlaybackStream(engine_, Path(QStringLiteral("gone.wav")), stream, size);
  EXPECT_FALSE(stream);  // the previous stream was freed
  EXPECT_EQ(size, 0);
  EXPECT_EQ(gone.status.code, EngineError::FileOpen);
}

TEST_F(AudioFileServicesTest, OptimFrogFilesAreRefusedAsCodecNotAvailable) {
  const QString ofr = Path(QStringLiteral("lossless.ofr"));
  MakeTone(ofr, 0.5, 44100, 2, {QStringLiteral("-f"), QStringLiteral("wav")});  // decodable content
  EXPECT_FALSE(engine_.Provides(EngineLibrary::OptimFrog));
  EXPECT_EQ(AudioFileServices::OpenStream(engine_, ofr, DetectInputType(ofr), DecodeStream::Mode::Decode).status.code,
            EngineError::Codec);
}

TEST(ReportLoadError, ShowsTheMessageForTheCode) {
  test::ScriptedUserInterface ui;
  const QString path = QStringLiteral("/music/a.ogg");
  AudioFileServices::ReportLoadError(ui, EngineError::Ok, path);
  EXPECT_TRUE(ui.messages.empty());

  AudioFileServices::ReportLoadError(ui, EngineError::FileFormat, path);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, QStringLiteral("Failed to load the file '/music/a.ogg' (error code: 41)"));
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);

  AudioFileServices::ReportLoadError(ui, EngineError::Protected, path);
  EXPECT_EQ(ui.messages[1].text,
            QStringLiteral("The file below can not be loaded because it is encrypted and protected "
                           "by the digital copyright:\r\n\r\n/music/a.ogg"));
  AudioFileServices::ReportLoadError(ui, EngineError::MediaRuntime, path);
  EXPECT_TRUE(ui.messages[2].text.contains(StringTable::Text(248)));
  EXPECT_TRUE(ui.messages[2].text.contains(QStringLiteral("Click here to download now!")));
}

}  // namespace
}  // namespace corvane
