// What corvane-cli writes, judged against the tools a user would pick instead: FLAC size, seek
// table and channels (flac, metaflac), multichannel Musepack (mpcdec), VOX of any length (sox),
// MP3 tags and VBR sizes (ffprobe, lame), the level of mono sources, Musepack lengths, and the
// resampler's aliasing and distortion (sox).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/CliFixture.h"
#include "support/QtPrinters.h"
#include "support/SourceFixtures.h"
#include "support/ToolRunner.h"

namespace corvane {
namespace {

using test::RunTool;
using test::ToolOutput;

const QString kCli = test::CliFixture::CliPath();

QStringList Words(const QString& text) { return text.split(QLatin1Char(' '), Qt::SkipEmptyParts); }

qint64 FileSize(const QString& path) { return QFileInfo(path).size(); }

class ConvertedOutputs : public test::CliFixture {
 protected:
  // The one builder of generated sources: `sox <format> -n <format> name <effects>`, where `format` and
  // `effects` are sox's words ("-r 48000 -c 1 -b 16", "synth 3 sine 1000").
  QString Sox(const QString& name, const QString& format, const QString& effects) {
    const QString path = Path(name);
    // The format is given to the null input too, so that lengths in samples count at the rate.
    RunTool(QStringLiteral("sox"),
            Words(format) + QStringList{QStringLiteral("-n")} + Words(format) + QStringList{path} + Words(effects));
    return path;
  }

  // Ten seconds of plucked chords over pink noise: broadband like music, so that an encoder's
  // quality setting shows in its bitrate.
  QString Music(const QString& name, int rate, double seconds) {
    test::MakeMusic(Path(name), rate, seconds);
    return Path(name);
  }

  // Converts `source` with corvane-cli and the given settings; the output's path.
  QString Convert(const QString& source, const QStringList& settings) {
    const QString out = Path(QStringLiteral("out"));
    QDir().mkpath(out);
    const test::ToolResult result =
        RunTool(kCli,
                QStringList{QStringLiteral("convert"), QStringLiteral("--json"), QStringLiteral("--overwrite"),
                            QStringLiteral("--jobs"), QStringLiteral("1"), QStringLiteral("--output"), out} +
                    settings + QStringList{source},
                CliRun());
    const QJsonObject job = QJsonDocument::fromJson(result.out.split('\n').value(0)).object();
    EXPECT_EQ(job.value(QStringLiteral("status")).toString(), QStringLiteral("Completed")) << result.out.constData();
    return job.value(QStringLiteral("output")).toString();
  }

  // One figure of `sox <file> -n <effects> stats` ("RMS lev dB", "Pk lev dB" ...)
  // for the channel `channel` (0: all channels).
  static double SoxStat(const QString& path, const QString& effects, const char* name, int channel = 0) {
    QStringList arguments{path, QStringLiteral("-n")};
    if (channel > 0) arguments << QStringLiteral("remix") << QString::number(channel);
    arguments << Words(effects) << QStringLiteral("stats");
    const QString text = QString::fromLocal8Bit(RunTool(QStringLiteral("sox"), arguments).err);
    const QRegularExpression line(QStringLiteral("^%1\\s+(\\S+)").arg(QRegularExpression::escape(QLatin1String(name))),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(text);
    EXPECT_TRUE(match.hasMatch()) << name << " in " << text.toStdString();
    return match.captured(1).toDouble();
  }

  // Sample frames of a file as sox counts them.
  static qint64 Frames(const QString& path) {
    return ToolOutput(QStringLiteral("sox"), {QStringLiteral("--i"), QStringLiteral("-s"), path})
        .trimmed()
        .toLongLong();
  }
};

// ---- FLAC ----

struct FlacSeekTable {
  qint64 total_samples = -1;
  int points = 0;
  int points_past_end = 0;
};

FlacSeekTable ReadSeekTable(const QString& path) {
  const QString listing = QString::fromUtf8(ToolOutput(QStringLiteral("metaflac"), {QStringLiteral("--list"), path}));
  FlacSeekTable table;
  table.total_samples =
      QRegularExpression(QStringLiteral("total samples: (\\d+)")).match(listing).captured(1).toLongLong();
  QRegularExpressionMatchIterator points =
      QRegularExpression(QStringLiteral("point \\d+: sample_number=(\\d+)")).globalMatch(listing);
  while (points.hasNext()) {
    const quint64 sample = points.next().captured(1).toULongLong();
    if (sample == ~0ull) continue;  // a placeholder
    ++table.points;
    if (sample >= static_cast<quint64>(table.total_samples)) ++table.points_past_end;
  }
  return table;
}

enum class Content { Speech, Music };

class FlacSize : public ConvertedOutputs, public testing::WithParamInterface<Content> {};

// Within 1 % of flac reading the same WAV at the same level, with a seek table that fits the
// audio, and the samples unchanged.
TEST_P(FlacSize, MatchesFlacOnTheSameSamples) {
  QString source;
  if (GetParam() == Content::Speech) {
    source = Path(QStringLiteral("speech.wav"));  // 22,050 Hz mono
    test::MakeSpeech(source, QStringLiteral("The quick brown fox jumps over the lazy dog. A converter should never "
                                            "make a file larger than its source."));
  } else {
    source = Music(QStringLiteral("music.wav"), 44100, 30);
  }
  const QString ours = Convert(source, {QStringLiteral("--format"), QStringLiteral("flac")});
  const QString reference = Path(QStringLiteral("reference.flac"));
  RunTool(QStringLiteral("flac"),
          {QStringLiteral("-s"), QStringLiteral("-f"), QStringLiteral("-5"), QStringLiteral("-o"), reference, source});

  EXPECT_NEAR(static_cast<double>(FileSize(ours)), static_cast<double>(FileSize(reference)),
              FileSize(reference) * 0.01);
  const FlacSeekTable table = ReadSeekTable(ours);
  EXPECT_EQ(table.total_samples, ReadSeekTable(reference).total_samples);
  EXPECT_EQ(table.points_past_end, 0);
  EXPECT_GE(table.points, 1);
  EXPECT_EQ(test::DecodeWithFfmpeg(ours), test::DecodeWithFfmpeg(source));
}

INSTANTIATE_TEST_SUITE_P(Content, FlacSize, testing::Values(Content::Speech, Content::Music));

// A lossy source has no exact length in advance: flac reads to the end and records what came.
TEST_F(ConvertedOutputs, FlacOfALossySourceRecordsTheSamplesItGot) {
  const QString mp3 = Path(QStringLiteral("lossy.mp3"));
  RunTool(QStringLiteral("lame"), {QStringLiteral("--quiet"), Music(QStringLiteral("lossy.wav"), 44100, 5), mp3});
  const QString ours = Convert(mp3, {QStringLiteral("--format"), QStringLiteral("flac")});
  const FlacSeekTable table = ReadSeekTable(ours);
  EXPECT_EQ(table.total_samples, test::DecodeWithFfmpeg(ours).size() / 4);
  EXPECT_NEAR(static_cast<double>(table.total_samples), 5 * 44100, 44100 * 0.1);
  EXPECT_EQ(table.points_past_end, 0);
}

// A cut lossless file claims more samples than it holds: the output still holds what it claims.
TEST_F(ConvertedOutputs, FlacOfACutFlacSourceIsConsistent) {
  const QString whole = Path(QStringLiteral("whole.flac"));
  RunTool(QStringLiteral("flac"), {QStringLiteral("-s"), QStringLiteral("-f"), QStringLiteral("-o"), whole,
                                   Music(QStringLiteral("cut.wav"), 44100, 3)});
  QFile file(whole);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.resize(file.size() * 6 / 10));
  file.close();
  const QString ours = Convert(whole, {QStringLiteral("--format"), QStringLiteral("flac")});
  RunTool(QStringLiteral("flac"), {QStringLiteral("-s"), QStringLiteral("-t"), ours});
  const FlacSeekTable table = ReadSeekTable(ours);
  EXPECT_EQ(table.total_samples, test::DecodeWithFfmpeg(ours).size() / 4);
  EXPECT_EQ(table.points_past_end, 0);
}

// Six channels, each a tone of its own, stay six channels and decode to the source's samples.
TEST_F(ConvertedOutputs, FlacKeepsEveryChannelOfA51Source) {
  const QString source =
      Sox(QStringLiteral("surround.wav"), QStringLiteral("-r 48000 -c 6 -b 16"),
          QStringLiteral("synth 2 sine 300 sine 500 sine 700 sine 60 sine 1100 sine 1300 gain -n -6"));
  const QString ours = Convert(source, {QStringLiteral("--format"), QStringLiteral("flac")});
  const QString channels = QString::fromUtf8(
      ToolOutput(QStringLiteral("ffprobe"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                  QStringLiteral("stream=channels"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), ours}));
  EXPECT_EQ(channels.trimmed(), QStringLiteral("6"));
  EXPECT_EQ(test::DecodeWithFfmpeg(ours), test::DecodeWithFfmpeg(source));
}

// ---- Musepack ----

// mpcenc takes two channels at most: a 5.1 source is mixed down like for the other formats, the
// centre into both sides alike and a side surround channel into its own side.
TEST_F(ConvertedOutputs, MusepackOfA51SourceIsMixedDownToStereo) {
  struct Case {
    const char* remix;  // which of the six channels carries the tone
    double left_minus_right_db;
  };
  const Case cases[] = {{"0 0 1 0 0 0", 0.0}, {"0 0 0 0 1 0", 40.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.remix);
    const QString tone = Sox(QStringLiteral("tone.wav"), QStringLiteral("-r 44100 -c 1 -b 16"),
                             QStringLiteral("synth 3 sine 1000 gain -6"));
    const QString source = Path(QStringLiteral("surround51.wav"));
    QStringList remix{tone, QStringLiteral("-c"), QStringLiteral("6"), source, QStringLiteral("remix")};
    for (const QString& on : QString::fromLatin1(c.remix).split(QLatin1Char(' ')))
      remix << (on == QStringLiteral("1") ? QStringLiteral("1") : QStringLiteral("0"));
    RunTool(QStringLiteral("sox"), remix);
    const QString ours = Convert(source, {QStringLiteral("--format"), QStringLiteral("mpc")});
    const QString decoded = Path(QStringLiteral("decoded.wav"));
    RunTool(QStringLiteral("mpcdec"), {ours, decoded});
    EXPECT_EQ(Frames(decoded), 3 * 44100);
    const double left = SoxStat(decoded, QStringLiteral("trim 0.5 2"), "RMS lev dB", 1);
    const double right = SoxStat(decoded, QStringLiteral("trim 0.5 2"), "RMS lev dB", 2);
    EXPECT_GT(left, -20);
    if (c.left_minus_right_db == 0.0) {
      EXPECT_NEAR(left, right, 0.5);
    } else {
      EXPECT_GT(left - right, c.left_minus_right_db);
    }
  }
}

// The length of a Musepack file is the samples its header counts (as mpcdec decodes them), not
// FFmpeg's estimate in whole frames.
TEST_F(ConvertedOutputs, MusepackLengthIsTheDecodedLength) {
  for (const double seconds : {10.0, 3.0}) {
    SCOPED_TRACE(seconds);
    const QString wav = Sox(QStringLiteral("m.wav"), QStringLiteral("-r 44100 -c 2 -b 16"),
                            QStringLiteral("synth %1 sine 440 gain -6").arg(seconds));
    const QString mpc = Path(QStringLiteral("m.mpc"));
    RunTool(QStringLiteral("mpcenc"), {QStringLiteral("--silent"), QStringLiteral("--overwrite"), wav, mpc});
    const QString decoded = Path(QStringLiteral("m-decoded.wav"));
    RunTool(QStringLiteral("mpcdec"), {mpc, decoded});
    const double decodedMs = Frames(decoded) / 44.1;
    ASSERT_NEAR(decodedMs, seconds * 1000, 30);

    const QByteArray probe = ToolOutput(kCli, {QStringLiteral("probe"), QStringLiteral("--json"), mpc}, CliRun());
    const QJsonObject object = QJsonDocument::fromJson(probe.trimmed()).object();
    EXPECT_NEAR(object.value(QStringLiteral("length_ms")).toDouble(), decodedMs, 1.0) << probe.constData();
  }
}

// ---- VOX ----

// Odd sample counts (an odd-length source, or blocks of 11,025 samples) are written whole.
TEST_F(ConvertedOutputs, VoxOfAnyLength) {
  const std::pair<int, int> cases[] = {{8000, 8001}, {11025, 22050}, {11025, 11025 * 3 + 1}};
  for (const auto& [rate, samples] : cases) {
    SCOPED_TRACE(samples);
    const QString source = Sox(QStringLiteral("voice.wav"), QStringLiteral("-r %1 -c 1 -b 16").arg(rate),
                               QStringLiteral("synth %1s sine 440 gain -6").arg(samples));
    const QString ours = Convert(
        source, {QStringLiteral("--format"), QStringLiteral("vox"), QStringLiteral("--rate"), QString::number(rate)});
    const QString decoded = Path(QStringLiteral("vox.wav"));
    RunTool(QStringLiteral("sox"),
            {QStringLiteral("-t"), QStringLiteral("vox"), QStringLiteral("-r"), QString::number(rate), ours, decoded});
    EXPECT_EQ(Frames(decoded), samples + samples % 2);
    EXPECT_NEAR(SoxStat(decoded, QStringLiteral("trim 0.1 0.8"), "RMS lev dB"),
                SoxStat(source, QStringLiteral("trim 0.1 0.8"), "RMS lev dB"), 1.5);
  }
}

// ---- MP3 ----

// With "Enable ID3v2" automatic, text that ISO-8859-1 cannot hold gets an ID3v2 tag too.
TEST_F(ConvertedOutputs, Mp3KeepsTextThatId3v1CannotHold) {
  const QString title = QStringLiteral("Café Übung — 日本語テスト");
  const QString source = Path(QStringLiteral("tagged.flac"));
  RunTool(QStringLiteral("sox"), {Sox(QStringLiteral("plain.wav"), QStringLiteral("-r 44100 -c 2 -b 16"),
                                      QStringLiteral("synth 1 sine 440 gain -6")),
                                  source});
  // An ID3v1 genre, so that nothing else asks for ID3v2.
  RunTool(QStringLiteral("metaflac"),
          {QStringLiteral("--set-tag=TITLE=") + title, QStringLiteral("--set-tag=GENRE=Rock"), source});
  const QString ours = Convert(source, {QStringLiteral("--format"), QStringLiteral("mp3")});
  const QString read = QString::fromUtf8(ToolOutput(
      QStringLiteral("ffprobe"),
      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
       QStringLiteral("format_tags=title"), QStringLiteral("-of"), QStringLiteral("default=nw=1:nk=1"), ours}));
  EXPECT_EQ(read.trimmed(), title);
}

// The VBR quality decides the size with the stored defaults (a maximum bitrate of 128 kbps among
// them): quality 0 near lame -V0, clearly larger than quality 4, quality 9 smaller.
TEST_F(ConvertedOutputs, Mp3VbrQualityTakesEffect) {
  const QString source = Music(QStringLiteral("music.wav"), 44100, 10);
  std::map<int, qint64> sizes;
  for (const int quality : {0, 4, 9}) {
    const QString ours =
        Convert(source, {QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--rate"),
                         QStringLiteral("44100"), QStringLiteral("--channels"), QStringLiteral("2"),
                         QStringLiteral("--vbr"), QStringLiteral("--vbr-quality"), QString::number(quality)});
    sizes[quality] = FileSize(ours);
  }
  const QString lame = Path(QStringLiteral("lame-v0.mp3"));
  RunTool(QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("-V0"), QStringLiteral("-m"),
                                   QStringLiteral("s"), source, lame});  // plain stereo, as the defaults
  EXPECT_GE(sizes[0], sizes[4] * 1.15);
  EXPECT_LT(sizes[9], sizes[4]);
  EXPECT_NEAR(static_cast<double>(sizes[0]), static_cast<double>(FileSize(lame)), FileSize(lame) * 0.1);
}

// ---- Channel level and resampling ----

// A mono source copied to two channels keeps its level on each side; normalising it to 100 %
// brings what is written to full scale.
TEST_F(ConvertedOutputs, MonoSourceKeepsItsLevelInStereo) {
  const QString source = Sox(QStringLiteral("mono.wav"), QStringLiteral("-r 44100 -c 1 -b 16"),
                             QStringLiteral("synth 2 sine 500 gain -6"));
  const double sourcePeak = SoxStat(source, {}, "Pk lev dB");
  const QStringList wav = {QStringLiteral("--format"), QStringLiteral("wav"),        QStringLiteral("--rate"),
                           QStringLiteral("44100"),    QStringLiteral("--channels"), QStringLiteral("2"),
                           QStringLiteral("--bits"),   QStringLiteral("16"),         QStringLiteral("--wav-codec"),
                           QStringLiteral("pcm")};
  const struct {
    QStringList extra;
    double peak;
  } cases[] = {{{}, sourcePeak}, {{QStringLiteral("--normalize"), QStringLiteral("100")}, 0.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.extra.join(QLatin1Char(' ')).toStdString());
    const QString ours = Convert(source, wav + c.extra);
    for (const int channel : {1, 2}) EXPECT_NEAR(SoxStat(ours, {}, "Pk lev dB", channel), c.peak, 0.05);
  }
}

// Content of a 48 kHz source above 22.05 kHz must not fold back into the 44.1 kHz output: the
// band where it would land stays 90 dB below the source.
TEST_F(ConvertedOutputs, ResamplingKeepsAliasesBelowMinus90dB) {
  const QString source = Sox(QStringLiteral("high.wav"), QStringLiteral("-r 48000 -c 1 -b 16"),
                             QStringLiteral("synth 3 sine 22200-23900 gain -1 fade 0.1 3 0.1"));
  const QString ours = Convert(
      source, {QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--rate"), QStringLiteral("44100"),
               QStringLiteral("--channels"), QStringLiteral("1"), QStringLiteral("--bits"), QStringLiteral("16"),
               QStringLiteral("--wav-codec"), QStringLiteral("pcm")});
  const double sourceLevel = SoxStat(source, QStringLiteral("trim 0.2 2.6"), "RMS lev dB");
  const double aliasLevel = SoxStat(ours, QStringLiteral("sinc 20000-21950 trim 0.2 2.6"), "RMS lev dB");
  EXPECT_LT(aliasLevel - sourceLevel, -90.0);
}

// A 24-bit 96 kHz tone at 1 kHz, resampled before its bits are reduced (with dither): THD+N of
// the 16-bit 44.1 kHz output better than -90 dB.
TEST_F(ConvertedOutputs, TwentyFourBitToneKeepsThdPlusNoiseBelowMinus90dB) {
  const QString source = Sox(QStringLiteral("tone96.flac"), QStringLiteral("-r 96000 -c 2 -b 24"),
                             QStringLiteral("synth 3 sine 1000 gain -1"));
  const QString ours = Convert(
      source, {QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--rate"), QStringLiteral("44100"),
               QStringLiteral("--channels"), QStringLiteral("2"), QStringLiteral("--bits"), QStringLiteral("16"),
               QStringLiteral("--wav-codec"), QStringLiteral("pcm")});
  const double total = SoxStat(ours, QStringLiteral("trim 0.5 2"), "RMS lev dB", 1);
  // A steep notch removes the tone; what is left is distortion and noise.
  const double rest =
      SoxStat(ours, QStringLiteral("trim 0.3 2.4 sinc -a 150 -t 100 1100-900 trim 0.2 2"), "RMS lev dB", 1);
  EXPECT_LT(rest - total, -90.0);
}

}  // namespace
}  // namespace corvane
