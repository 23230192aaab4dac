// corvane-cli driven as a user would: every output format, presets, folder mirroring, the
// answers for existing outputs, JSON, exit statuses and an interrupted run.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "support/CliFixture.h"
#include "support/ExternalTools.h"
#include "support/QtPrinters.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

using Result = test::ToolResult;
const QString kCli = test::CliFixture::CliPath();

class CorvaneCliTest : public test::CliFixture {
 protected:
  QString MakeWav(const QString& relative, double seconds = 1.0) {
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    test::MakeTone(path, seconds, 44100, 2, {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")});
    return path;
  }

  static QByteArray Checksum(const QString& path) { return test::ReadAll(path); }
};

TEST_F(CorvaneCliTest, HelpVersionAndBadUsage) {
  EXPECT_EQ(Cli({QStringLiteral("--help")}).exitCode, 0);
  const Result version = Cli({QStringLiteral("--version")});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(version.out.startsWith("corvane-cli 5.01"));
  EXPECT_EQ(Cli({}).exitCode, 2);
  EXPECT_EQ(Cli({QStringLiteral("frobnicate")}).exitCode, 2);
  EXPECT_EQ(Cli({QStringLiteral("convert")}).exitCode, 2) << "no paths";
  const QString wav = MakeWav(QStringLiteral("a.wav"));
  EXPECT_EQ(Cli({QStringLiteral("convert"), wav}).exitCode, 2) << "no output location";
  EXPECT_EQ(Cli({QStringLiteral("convert"), QStringLiteral("--same-folder"), QStringLiteral("--format"),
                 QStringLiteral("xyz"), wav})
                .exitCode,
            2);
  EXPECT_EQ(Cli({QStringLiteral("convert"), QStringLiteral("--same-folder"), QStringLiteral("--rate"),
                 QStringLiteral("12345"), wav})
                .exitCode,
            2);
  EXPECT_EQ(
      Cli({QStringLiteral("convert"), QStringLiteral("--same-folder"), Path(QStringLiteral("missing.wav"))}).exitCode,
      2);
}

TEST_F(CorvaneCliTest, EveryOutputFormat) {
  const QString wav = MakeWav(QStringLiteral("in/tone.wav"), 1.5);
  const struct {
    const char* format;
    const char* extension;
    const char* codec;
  } formats[] = {{"mp3", "MP3", "mp3"},       {"wav", "WAV", "pcm_s16le"}, {"ogg", "OGG", "vorbis"},
                 {"wma", "WMA", "wmav2"},     {"flac", "FLAC", "flac"},    {"ape", "APE", "ape"},
                 {"mpc", "MPC", "musepack8"}, {"vox", "VOX", nullptr}};
  for (const auto& f : formats) {
    const QString out = Path(QStringLiteral("out-%1").arg(QString::fromLatin1(f.format)));
    const Result result = Cli({QStringLiteral("convert"), QStringLiteral("--format"), QString::fromLatin1(f.format),
                               QStringLiteral("--output"), out, QStringLiteral("--jobs"), QStringLiteral("1"), wav});
    EXPECT_EQ(result.exitCode, 0) << f.format << result.err.constData() << result.out.constData();
    const QString written = out + QStringLiteral("/tone.") + QString::fromLatin1(f.extension);
    ASSERT_TRUE(QFileInfo::exists(written)) << qPrintable(written);
    if (f.codec == nullptr) continue;  // VOX has no container an independent probe recognises
    const QJsonObject probe = test::ProbeWithFfprobe(written);
    EXPECT_EQ(probe.value(QStringLiteral("codec_name")).toString(), QString::fromLatin1(f.codec)) << f.format;
    // Counted from the decoded samples: container durations of streamed encoders are estimates.
    const double frames =
        test::DecodeWithFfmpeg(written).size() / (2.0 * probe.value(QStringLiteral("channels")).toInt());
    EXPECT_NEAR(frames / probe.value(QStringLiteral("sample_rate")).toInt(), 1.5, 0.2) << f.format;
  }
}

TEST_F(CorvaneCliTest, FoldersAreMirroredAndSourcesStayUntouched) {
  const QString a = MakeWav(QStringLiteral("Music/Album/a.wav"));
  const QString b = MakeWav(QStringLiteral("Music/Album/CD1/b.wav"));
  const QByteArray before = Checksum(a) + Checksum(b);
  const QString out = Path(QStringLiteral("Out"));
  const Result result = Cli({QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("mp3"),
                             QStringLiteral("--output"), out, Path(QStringLiteral("Music/Album"))});
  EXPECT_EQ(result.exitCode, 0) << result.err.constData();
  EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/Album/a.MP3")));
  EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/Album/CD1/b.MP3")));
  EXPECT_EQ(Checksum(a) + Checksum(b), before);

  // Without sub-folders only the top folder's files are converted.
  const QString flat = Path(QStringLiteral("Flat"));
  Cli({QStringLiteral("convert"), QStringLiteral("--no-subfolders"), QStringLiteral("--format"), QStringLiteral("wav"),
       QStringLiteral("--output"), flat, Path(QStringLiteral("Music/Album"))});
  EXPECT_TRUE(QFileInfo::exists(flat + QStringLiteral("/Album/a.WAV")));
  EXPECT_FALSE(QFileInfo::exists(flat + QStringLiteral("/Album/CD1/b.WAV")));
}

TEST_F(CorvaneCliTest, ExistingOutputsFollowTheChosenAnswer) {
  const QString wav = MakeWav(QStringLiteral("song.wav"));
  const QString out = Path(QStringLiteral("o"));
  QDir().mkpath(out);
  const QString existing = out + QStringLiteral("/song.MP3");
  ASSERT_TRUE(test::WriteAll(existing, "keep me"));
  const QStringList base = {
      QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--output"), out,
      QStringLiteral("--json")};

  // Not a terminal and no answer given: left alone, counted as skipped.
  Result result = Cli(base + QStringList{wav});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(test::ReadAll(existing), QByteArray("keep me"));
  EXPECT_TRUE(result.out.contains("\"status\":\"Skipped\""));

  result = Cli(base + QStringList{QStringLiteral("--skip-existing"), wav});
  EXPECT_EQ(test::ReadAll(existing), QByteArray("keep me"));

  result = Cli(base + QStringList{QStringLiteral("--rename"), wav});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(test::ReadAll(existing), QByteArray("keep me"));
  EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/song (1).MP3")));

  result = Cli(base + QStringList{QStringLiteral("--overwrite"), wav});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(test::ReadAll(existing), QByteArray("keep me"));
  EXPECT_GT(test::ProbeDuration(existing), 0.9);
}

TEST_F(CorvaneCliTest, JsonReportsEveryFileAndASummary) {
  const QString good = MakeWav(QStringLiteral("j/good.wav"));
  const QString bad = Path(QStringLiteral("j/bad.wav"));
  test::WriteAll(bad, QByteArray(4096, 'x'));
  const Result result =
      Cli({QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("flac"), QStringLiteral("--output"),
           Path(QStringLiteral("jout")), QStringLiteral("--json"), good, bad});
  EXPECT_EQ(result.exitCode, 1) << "one file failed";
  const QList<QByteArray> lines = result.out.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 3);
  QStringList statuses;
  for (int i = 0; i < 2; ++i) {
    const QJsonObject object = QJsonDocument::fromJson(lines[i]).object();
    statuses << object.value(QStringLiteral("status")).toString();
    EXPECT_TRUE(object.contains(QStringLiteral("seconds")));
    EXPECT_TRUE(object.contains(QStringLiteral("output")));
  }
  statuses.sort();
  EXPECT_EQ(statuses, (QStringList{QStringLiteral("Completed"), QStringLiteral("Failed")}));
  const QJsonObject summary = QJsonDocument::fromJson(lines[2]).object();
  EXPECT_EQ(summary.value(QStringLiteral("succeeded")).toInt(), 1);
  EXPECT_EQ(summary.value(QStringLiteral("failed")).toInt(), 1);
  EXPECT_TRUE(summary.value(QStringLiteral("summary")).toString().contains(bad));
}

TEST_F(CorvaneCliTest, PresetsAreSharedAndEditable) {
  Result result = Cli({QStringLiteral("presets"), QStringLiteral("list")});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            QByteArray("HiFi Quality\nCD Quality\nFM Radio Quality\nAM Radio Quality\nTelephone Quality\n"));
  EXPECT_EQ(
      Cli({QStringLiteral("presets"), QStringLiteral("save"), QStringLiteral("Lossless"), QStringLiteral("--format"),
           QStringLiteral("flac"), QStringLiteral("--bitrate"), QStringLiteral("128")})
          .exitCode,
      0);
  result = Cli({QStringLiteral("presets"), QStringLiteral("show"), QStringLiteral("Lossless")});
  EXPECT_TRUE(result.out.contains("format FLAC")) << result.out.constData();

  const QString wav = MakeWav(QStringLiteral("p/x.wav"));
  EXPECT_EQ(Cli({QStringLiteral("convert"), QStringLiteral("--preset"), QStringLiteral("Lossless"),
                 QStringLiteral("--output"), Path(QStringLiteral("pout")), wav})
                .exitCode,
            0);
  EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("pout/x.FLAC"))));
  EXPECT_EQ(Cli({QStringLiteral("convert"), QStringLiteral("--preset"), QStringLiteral("Nope"),
                 QStringLiteral("--output"), Path(QStringLiteral("pout")), wav})
                .exitCode,
            2);

  EXPECT_EQ(Cli({QStringLiteral("presets"), QStringLiteral("remove"), QStringLiteral("Lossless")}).exitCode, 0);
  EXPECT_EQ(Cli({QStringLiteral("presets"), QStringLiteral("show"), QStringLiteral("Lossless")}).exitCode, 2);
  EXPECT_EQ(Cli({QStringLiteral("presets"), QStringLiteral("reset")}).exitCode, 0);
}

// The first file is the longest, so with three jobs it ends last; it is still reported first.
TEST_F(CorvaneCliTest, ParallelJobsWriteTheSameBytesAndReportInOrder) {
  QStringList sources;
  for (int i = 0; i < 4; ++i) sources << MakeWav(QStringLiteral("par/f%1.wav").arg(i), i == 0 ? 10.0 : 1.0);
  const QStringList base = {QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("mp3")};
  for (const char* jobs : {"1", "3"}) {
    const Result run = Cli(base +
                           QStringList{QStringLiteral("--jobs"), QString::fromLatin1(jobs), QStringLiteral("--output"),
                                       Path(QString::fromLatin1(jobs))} +
                           sources);
    EXPECT_EQ(run.exitCode, 0);
    const QStringList lines = QString::fromUtf8(run.out).split(QLatin1Char('\n'));
    ASSERT_GT(lines.size(), 4) << run.out.constData();
    for (int i = 0; i < 4; ++i)
      EXPECT_TRUE(lines[i].contains(sources[i] + QStringLiteral(" -> "))) << lines[i].toStdString();
  }
  for (int i = 0; i < 4; ++i) {
    const QString name = QStringLiteral("/f%1.MP3").arg(i);
    const QByteArray one = test::ReadAll(Path(QStringLiteral("1")) + name);
    EXPECT_FALSE(one.isEmpty());
    EXPECT_EQ(one, test::ReadAll(Path(QStringLiteral("3")) + name));
  }
}

TEST_F(CorvaneCliTest, ProbePrintsTheListDescription) {
  const QString wav = MakeWav(QStringLiteral("probe.wav"));
  const Result result = Cli({QStringLiteral("probe"), QStringLiteral("--json"), wav});
  EXPECT_EQ(result.exitCode, 0);
  const QJsonObject object = QJsonDocument::fromJson(result.out.trimmed()).object();
  EXPECT_TRUE(object.value(QStringLiteral("description")).toString().startsWith(QStringLiteral("WAV, 44100Hz")))
      << result.out.constData();
  EXPECT_NEAR(object.value(QStringLiteral("length_ms")).toDouble(), 1000, 30);
  EXPECT_EQ(Cli({QStringLiteral("probe"), Path(QStringLiteral("nothing.wav"))}).exitCode, 1);

  const QString wma = Path(QStringLiteral("protected.wma"));
  test::MakeProtectedWma(wma, test::AsfProtection::ExtendedContentEncryption);
  const Result refused = Cli({QStringLiteral("probe"), wma});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.err.contains(
      "The file below can not be loaded because it is encrypted and protected by the digital copyright:"))
      << refused.err.constData();
}

// Ctrl-C stops the running file and cancels the one waiting for it; both are reported, in order.
TEST_F(CorvaneCliTest, InterruptedRunLeavesNoPartialFile) {
  const QString wav = MakeWav(QStringLiteral("long.wav"), 60.0);
  const QString next = MakeWav(QStringLiteral("next.wav"));
  const QString out = Path(QStringLiteral("int"));
  QProcess process;
  process.setProcessEnvironment(environment_);
  process.start(kCli, {QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("ogg"),
                       QStringLiteral("--jobs"), QStringLiteral("1"), QStringLiteral("--output"), out, wav, next});
  ASSERT_TRUE(process.waitForStarted());
  // Wait until the output is being written (an open file in the output folder, which may have no
  // name yet), then press Ctrl-C.
  const QDir fds(QStringLiteral("/proc/%1/fd").arg(process.processId()));
  const auto writing = [&] {
    for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
      if (QFile::symLinkTarget(fds.filePath(fd)).startsWith(out + QLatin1Char('/'))) return true;
    }
    return false;
  };
  for (int i = 0; i < 2400 && !writing(); ++i) QThread::msleep(25);
  ASSERT_TRUE(writing()) << "the conversion never started writing";
  ::kill(static_cast<pid_t>(process.processId()), SIGINT);
  ASSERT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(process.exitCode(), 130);
  const QString printed = QString::fromUtf8(process.readAllStandardOutput());
  EXPECT_TRUE(printed.startsWith(QStringLiteral("Cancelled: %1\nCancelled: %2\n").arg(wav, next)))
      << qPrintable(printed);
  EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
      << qPrintable(QDir(out).entryList(QDir::Files | QDir::Hidden).join(QLatin1Char(' ')));
}

}  // namespace
}  // namespace corvane
