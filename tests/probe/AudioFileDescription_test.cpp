#include "probe/AudioFileDescription.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "engine/CAudioEngine.h"
#include "support/QtPrinters.h"
#include "support/ScriptedUserInterface.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

using test::MakeTone;

// Playing time by ffprobe, or by decoding with ffmpeg where ffprobe cannot tell (Musepack SV8).
double ReferenceMs(const QString& path) {
  const double probed = test::ProbeDuration(path);
  if (probed > 0) return probed * 1000;
  const QByteArray out = test::ToolOutput(
      QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                  QStringLiteral("stream=sample_rate,channels"), QStringLiteral("-of"),
                                  QStringLiteral("default=nw=1:nk=1"), path});
  const QList<QByteArray> values = out.trimmed().split('\n');
  if (values.size() < 2) return -1;
  const double bytesPerMs = values[0].trimmed().toDouble() * values[1].trimmed().toDouble() * 2 / 1000;
  return test::DecodeWithFfmpeg(path).size() / bytesPerMs;
}

class AudioFileDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(engine_.BindAll().Succeeded()); }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Describes `path` and checks the text against `pattern`, the length against ffprobe's and
  // the bitrate estimate in the text (when `kbps` is given) against the file's real rate.
  void ExpectDescription(const QString& path, const QString& pattern) {
    SCOPED_TRACE(path.toStdString());
    const AudioFileDescription result = DescribeAudioFile(engine_, path, ui_);
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$')).match(result.text).hasMatch())
        << result.text.toStdString() << " does not match " << pattern.toStdString();
    EXPECT_NEAR(result.length_ms, ReferenceMs(path), 60);
    EXPECT_GT(result.size, 0);
    EXPECT_LE(result.size, QFile(path).size());
    EXPECT_TRUE(ui_.messages.empty());
  }
  QString Tone(const QString& name, double seconds, int rate, int channels, const QStringList& options) {
    const QString path = Path(name);
    MakeTone(path, seconds, rate, channels, options);
    return path;
  }

  QTemporaryDir dir_;
  CAudioEngine engine_;
  test::ScriptedUserInterface ui_;
};

TEST_F(AudioFileDescriptionTest, PcmAndLosslessFormats) {
  ExpectDescription(Tone(QStringLiteral("a.wav"), 1, 44100, 2, {}), QStringLiteral("WAV, 44100Hz, 16 bit, Stereo"));
  ExpectDescription(Tone(QStringLiteral("b.wav"), 1, 22050, 1, {QStringLiteral("-c:a"), QStringLiteral("pcm_u8")}),
                    QStringLiteral("WAV, 22050Hz, 8 bit, Mono"));
  ExpectDescription(Tone(QStringLiteral("c.aiff"), 1, 44100, 2, {}),
                    QStringLiteral("AIFF, 44100Hz, 141[12]kbps, Stereo"));
  ExpectDescription(Tone(QStringLiteral("d.flac"), 1, 48000, 2, {}),
                    QStringLiteral("FLAC, 48000Hz, \\d+kbps, Channels: 2"));
  ExpectDescription(Tone(QStringLiteral("e.tta"), 1, 44100, 2, {}),
                    QStringLiteral("The True Audio\\(TTA\\) Lossless, 44100Hz, Channels: 2"));
  ExpectDescription(Tone(QStringLiteral("f.m4a"), 1, 44100, 2, {QStringLiteral("-c:a"), QStringLiteral("alac")}),
                    QStringLiteral("Apple Lossless, 44100Hz, Channels: 2"));

  const QString wv = Path(QStringLiteral("g.wv"));
  test::RunTool(QStringLiteral("wavpack"), {QStringLiteral("-q"), QStringLiteral("-y"),
                                            Tone(QStringLiteral("g.wav"), 1, 44100, 2, {}), QStringLiteral("-o"), wv});
  ExpectDescription(wv, QStringLiteral("WavPack, 44100Hz, Channels: 2"));
}

TEST_F(AudioFileDescriptionTest, LossyFormats) {
  ExpectDescription(Tone(QStringLiteral("a.ogg"), 1, 44100, 1, {QStringLiteral("-c:a"), QStringLiteral("libvorbis")}),
                    QStringLiteral("Ogg Vorbis, 44100Hz, \\d+kbps, Mono"));
  ExpectDescription(Tone(QStringLiteral("b.aac"), 1, 44100, 2, {QStringLiteral("-c:a"), QStringLiteral("aac")}),
                    QStringLiteral("AAC, 44100Hz, Channels: 2"));
  ExpectDescription(Tone(QStringLiteral("c.mp4"), 1, 44100, 2, {QStringLiteral("-c:a"), QStringLiteral("aac")}),
                    QStringLiteral("AAC MPEG-4, 44100Hz, Channels: 2"));
  ExpectDescription(Tone(QStringLiteral("d.ac3"), 1, 48000, 2, {QStringLiteral("-b:a"), QStringLiteral("192k")}),
                    QStringLiteral("AC3, 48000Hz, 19\\dkbps, Channels: 2"));
  ExpectDescription(Tone(QStringLiteral("e.adx"), 1, 44100, 2, {}),
                    QStringLiteral("ADX, 44100Hz, \\d+kbps, Channels: 2"));
  ExpectDescription(Tone(QStringLiteral("f.wma"), 1, 44100, 2, {QStringLiteral("-b:a"), QStringLiteral("128k")}),
                    QStringLiteral("WMA, 44100Hz, 128kbps, Stereo"));
  ExpectDescription(
      Tone(QStringLiteral("g.wma"), 1, 44100, 2,
           {QStringLiteral("-b:a"), QStringLiteral("128k"), QStringLiteral("-metadata"), QStringLiteral("IsVBR=1")}),
      QStringLiteral("WMA, 44100Hz, 128kbps VBR, Stereo"));
  if (test::HasFfmpegEncoder(QStringLiteral("libspeex"))) {
    ExpectDescription(Tone(QStringLiteral("h.spx"), 1, 16000, 1, {QStringLiteral("-c:a"), QStringLiteral("libspeex")}),
                      QStringLiteral("Speex, 16000Hz, Channels: 1"));
  }
  const QString mpc = Path(QStringLiteral("i.mpc"));
  test::RunTool(QStringLiteral("mpcenc"), {QStringLiteral("--silent"), QStringLiteral("--overwrite"),
                                           Tone(QStringLiteral("i.wav"), 1, 44100, 2, {}), mpc});
  ExpectDescription(mpc, QStringLiteral("Musepack, 44100Hz, \\d+kbps, Channels: 2"));
}

TEST_F(AudioFileDescriptionTest, MpegFiles) {
  const QString wav = Tone(QStringLiteral("src.wav"), 1, 44100, 2, {});
  const QString cbr = Path(QStringLiteral("cbr.mp3"));
  test::RunTool(QStringLiteral("lame"),
                {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"), wav, cbr});
  ExpectDescription(cbr, QStringLiteral("MPEG 1.0 Layer 3, 44100Hz, 128kbps CBR, Joint Stereo"));
  const QString vbr = Path(QStringLiteral("vbr.mp3"));
  test::RunTool(QStringLiteral("lame"),
                {QStringLiteral("--quiet"), QStringLiteral("-V"), QStringLiteral("4"), wav, vbr});
  ExpectDescription(vbr, QStringLiteral("MPEG 1.0 Layer 3, 44100Hz, \\d+kbps VBR, Joint Stereo"));
  const QString low = Path(QStringLiteral("low.mp3"));
  test::RunTool(QStringLiteral("lame"),
                {QStringLiteral("--quiet"), QStringLiteral("-m"), QStringLiteral("m"), QStringLiteral("--resample"),
                 QStringLiteral("8"), QStringLiteral("-b"), QStringLiteral("16"), wav, low});
  ExpectDescription(low, QStringLiteral("MPEG 2.5 Layer 3, 8000Hz, 16kbps CBR, Mono"));
  ExpectDescription(Tone(QStringLiteral("l2.mp2"), 1, 48000, 2, {QStringLiteral("-b:a"), QStringLiteral("192k")}),
                    QStringLiteral("MPEG 1.0 Layer 2, 48000Hz, 192kbps CBR, (Joint )?Stereo"));
}

TEST_F(AudioFileDescriptionTest, LoadErrorsAreReported) {
  EXPECT_FALSE(DescribeAudioFile(engine_, QString(), ui_).ok);
  EXPECT_TRUE(ui_.messages.empty());

  const QString missing = Path(QStringLiteral("missing.ogg"));
  EXPECT_FALSE(DescribeAudioFile(engine_, missing, ui_).ok);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, QStringLiteral("Failed to load the file '%1' (error code: 2)").arg(missing));
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Error);

  const QString garbage = Path(QStringLiteral("garbage.wav"));
  ASSERT_TRUE(test::WriteAll(garbage, QByteArray(20000, '\x11')));
  EXPECT_FALSE(DescribeAudioFile(engine_, garbage, ui_).ok);
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[1].text, QStringLiteral("Failed to load the file '%1' (error code: 41)").arg(garbage));

  const QString ofr = Tone(QStringLiteral("music.ofr"), 0.5, 44100, 2, {QStringLiteral("-f"), QStringLiteral("wav")});
  EXPECT_FALSE(DescribeAudioFile(engine_, ofr, ui_).ok);
  ASSERT_EQ(ui_.messages.size(), 3u);
  EXPECT_EQ(ui_.messages[2].text, QStringLiteral("Failed to load the file '%1' (error code: 44)").arg(ofr));

  const QString wma = Path(QStringLiteral("protected.wma"));
  test::MakeProtectedWma(wma, test::AsfProtection::ContentEncryption);
  EXPECT_FALSE(DescribeAudioFile(engine_, wma, ui_).ok);
  ASSERT_EQ(ui_.messages.size(), 4u);
  EXPECT_EQ(ui_.messages[3].text,
            QStringLiteral("The file below can not be loaded because it is encrypted and protected by the digital "
                           "copyright:\r\n\r\n%1")
                .arg(wma));
}

TEST(WmaBitrate, AttributeBlockParsing) {
  WmaBitrateInfo info =
      ParseWmaBitrate({QStringLiteral("Title=x"), QStringLiteral("isvbr=1"), QStringLiteral("BITRATE=128999")});
  EXPECT_TRUE(info.present);
  EXPECT_TRUE(info.vbr);
  EXPECT_EQ(info.kbps, 128);
  info = ParseWmaBitrate({QStringLiteral("ISVBR=0"), QStringLiteral("Bitrate=64000")});
  EXPECT_FALSE(info.vbr);
  EXPECT_EQ(info.kbps, 64);
  EXPECT_FALSE(ParseWmaBitrate({QStringLiteral("Title=a=b")}).present);
}

}  // namespace
}  // namespace corvane
