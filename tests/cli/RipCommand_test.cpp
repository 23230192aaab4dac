// corvane-cli rip on generated disc images, as the command line sees it: the default names and the
// tags from CD-TEXT, the JSON lines, usage errors, existing outputs, a failed track's exit status,
// the look-up and Ctrl-C. What is ripped and how is the rip session's, tested on its own.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QThread>
#include <csignal>
#include <map>

#include "support/AccurateRipReference.h"
#include "support/CliFixture.h"
#include "support/DiscImageFixture.h"
#include "support/DiscLookupServer.h"
#include "support/ExternalTools.h"
#include "support/LoopbackHttpServer.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

class RipCommandTest : public test::CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    // Four audio tracks of odd lengths and a data track last.
    disc_ = test::DiscImageFixture(Path(QStringLiteral("images")))
                .Build(QStringLiteral("live"), {{{.sectors = 75 + 13, .title = QStringLiteral("Intro")},
                                                 {.sectors = 60, .title = QStringLiteral("Two")},
                                                 {.sectors = 75 * 2 + 1, .title = QStringLiteral("Who?")},
                                                 {.sectors = 40},
                                                 {.sectors = 30, .data = true}},
                                                QStringLiteral("Live: 1992"),
                                                QStringLiteral("AC/DC")});
    // The rips' AccurateRip look-ups go nowhere rather than out to the network.
    QSettings stored(Path(QStringLiteral("config/Quillon/Bexlor.conf")), QSettings::IniFormat);
    stored.setValue(QStringLiteral("Rip Setting/AccurateRip URL"),
                    QStringLiteral("http://127.0.0.1:%1/accuraterip/").arg(test::ClosedLoopbackPort()));
  }
  QString Out(const QString& relative) const { return Path(QStringLiteral("out/") + relative); }
  QStringList Rip(const QStringList& options) const {
    return QStringList{QStringLiteral("rip"), QStringLiteral("--device"), disc_.cue, QStringLiteral("--output"),
                       Path(QStringLiteral("out"))} +
           options;
  }

  test::DiscImage disc_;
};

TEST_F(RipCommandTest, FlacTracksAreBitExactUnderTheDefaultNamesWithJsonLines) {
  const test::ToolResult run = Cli(Rip({QStringLiteral("--tracks"), QStringLiteral("1-3"), QStringLiteral("--format"),
                                        QStringLiteral("flac"), QStringLiteral("--json")}));
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  const QList<QByteArray> lines = run.out.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 4) << run.out.constData();
  const QStringList names = {QStringLiteral("Track01-Intro.flac"), QStringLiteral("Track02-Two.flac"),
                             QStringLiteral("Track03-Who_.flac")};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const QString path = Out(QStringLiteral("AC_DC/Live_ 1992/") + names[i]);
    const QJsonObject line = QJsonDocument::fromJson(lines[i]).object();
    EXPECT_EQ(line[QStringLiteral("track")].toInt(), i + 1);
    EXPECT_EQ(line[QStringLiteral("output")].toString(), path);
    EXPECT_TRUE(test::DecodeWithFfmpeg(path) == disc_.tracks[static_cast<size_t>(i)]);
    EXPECT_EQ(test::ProbeTag(path, QStringLiteral("ARTIST")), QStringLiteral("AC/DC"));
    EXPECT_EQ(test::ProbeTag(path, QStringLiteral("track")), QString::number(i + 1));
  }
  EXPECT_EQ(test::ProbeTag(Out(QStringLiteral("AC_DC/Live_ 1992/Track03-Who_.flac")), QStringLiteral("TITLE")),
            QStringLiteral("Who?"));
  const QJsonObject summary = QJsonDocument::fromJson(lines[3]).object();
  EXPECT_EQ(summary[QStringLiteral("tracks")].toInt(), 3);
  EXPECT_EQ(summary[QStringLiteral("succeeded")].toInt(), 3);
  EXPECT_EQ(summary[QStringLiteral("failed")].toInt(), 0);
  EXPECT_EQ(QDir(Out(QStringLiteral("AC_DC/Live_ 1992"))).entryList(QDir::Files | QDir::Hidden).size(), 4)
      << "the tracks and the rip log; no temporary file is left";
}

// Track 1 is much the longest, so with three encoders it ends last: it is still reported first,
// and every file is the same byte for byte whatever the number of encoders.
TEST_F(RipCommandTest, EveryJobCountWritesTheSameFilesReportedInTrackOrder) {
  const test::DiscImage disc =
      test::DiscImageFixture(Path(QStringLiteral("images")))
          .Build(QStringLiteral("uneven"), {{{.sectors = 75 * 20}, {.sectors = 40}, {.sectors = 75 + 1}}});
  for (const char* format : {"mp3", "flac"}) {
    std::map<QString, QByteArray> first;
    for (const char* jobs : {"1", "3"}) {
      SCOPED_TRACE(std::string(format) + " with " + jobs + " jobs");
      const QString out = Out(QString::fromLatin1(format) + QString::fromLatin1(jobs));
      const test::ToolResult run =
          Cli({QStringLiteral("rip"), QStringLiteral("--device"), disc.cue, QStringLiteral("--output"), out,
               QStringLiteral("--output-name"), QStringLiteral("%N"), QStringLiteral("--format"),
               QString::fromLatin1(format), QStringLiteral("--jobs"), QString::fromLatin1(jobs),
               QStringLiteral("--json"), QStringLiteral("--no-verify"), QStringLiteral("--no-log")});
      ASSERT_EQ(run.exitCode, 0) << run.err.constData();
      const QList<QByteArray> lines = run.out.trimmed().split('\n');
      ASSERT_EQ(lines.size(), 4) << run.out.constData();
      for (int i = 0; i < 3; ++i)
        EXPECT_EQ(QJsonDocument::fromJson(lines[i]).object()[QStringLiteral("track")].toInt(), i + 1);
      const QStringList files = QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name);
      ASSERT_EQ(files.size(), 3) << files.join(QLatin1Char(' ')).toStdString();
      for (const QString& file : files) {
        const QByteArray bytes = test::ReadAll(QDir(out).filePath(file));
        if (first.contains(file))
          EXPECT_TRUE(bytes == first[file]) << file.toStdString();
        else
          first[file] = bytes;
      }
    }
    const QString one = Out(QString::fromLatin1(format) + QStringLiteral("1/01.") + QString::fromLatin1(format));
    EXPECT_NEAR(test::ProbeWithFfprobe(one)[QStringLiteral("duration")].toDouble(), 20.0, 0.1);
  }
}

// 130 Japanese characters (390 bytes) in the CD-TEXT name the album's folder and the track's file
// cut to the 255 bytes a name may have, and a second rip renamed beside the first fits too; the
// tags keep the whole texts.
TEST_F(RipCommandTest, LongTitlesAreCutInTheNamesAndKeptWholeInTheTags) {
  const QString title = QStringLiteral("\u65E5\u672C\u8A9E").repeated(130);
  const test::DiscImage disc = test::DiscImageFixture(Path(QStringLiteral("images")))
                                   .Build(QStringLiteral("long"), {{{.sectors = 30, .title = title}}, title, {}});
  QStringList outputs;
  for (const char* existing : {"--skip-existing", "--rename"}) {
    const test::ToolResult run = Cli({QStringLiteral("rip"), QStringLiteral("--device"), disc.cue,
                                      QStringLiteral("--output"), Out(QString()), QStringLiteral("--format"),
                                      QStringLiteral("flac"), QStringLiteral("--json"), QString::fromLatin1(existing)});
    ASSERT_EQ(run.exitCode, 0) << run.out.constData() << run.err.constData();
    outputs << QJsonDocument::fromJson(run.out.split('\n')[0]).object()[QStringLiteral("output")].toString();
  }
  ASSERT_NE(outputs[0], outputs[1]);
  for (const QString& output : outputs) {
    SCOPED_TRACE(output.toStdString());
    const QString name = QFileInfo(output).fileName();
    const QString folder = QFileInfo(output).dir().dirName();
    EXPECT_TRUE(QFileInfo(output).isFile());
    EXPECT_TRUE(title.startsWith(folder) && title.startsWith(name.mid(8, 70))) << "cut between characters";
    EXPECT_GE(folder.toUtf8().size(), 253);
    EXPECT_LE(folder.toUtf8().size(), 255);
    EXPECT_GE(name.toUtf8().size(), 253);
    EXPECT_LE(name.toUtf8().size(), 255);
    EXPECT_TRUE(name.endsWith(QStringLiteral(".flac")));
    EXPECT_EQ(test::ToolOutput(QStringLiteral("metaflac"),
                               {QStringLiteral("--show-tag=TITLE"), QStringLiteral("--show-tag=ALBUM"), output}),
              QStringLiteral("TITLE=%1\nALBUM=%1\n").arg(title).toUtf8());
  }
  // Every name written (the rip logs' too) is whole UTF-8: a split character would not decode.
  QDirIterator files(Out(QString()), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (files.hasNext()) {
    const QString name = QFileInfo(files.next()).fileName();
    EXPECT_FALSE(name.contains(QChar::ReplacementCharacter)) << name.toStdString();
    EXPECT_LE(name.toUtf8().size(), 255);
  }
}

TEST_F(RipCommandTest, RefusedOptionsAreUsageErrorsThatWriteNothing) {
  const QList<QStringList> refused = {{QStringLiteral("--tracks"), QStringLiteral("3-1")},
                                      {QStringLiteral("--tracks"), QStringLiteral("0")},
                                      {QStringLiteral("--tracks"), QStringLiteral("1,,2")},
                                      {QStringLiteral("--tracks"), QStringLiteral("x")},
                                      {QStringLiteral("--tracks"), QStringLiteral("6")},
                                      {QStringLiteral("--tracks"), QStringLiteral("4-5")},
                                      {QStringLiteral("--retries"), QStringLiteral("100")},
                                      {QStringLiteral("--grab-mode"), QStringLiteral("5")},
                                      {QStringLiteral("--error-action"), QStringLiteral("x")},
                                      {QStringLiteral("--lookup"), QStringLiteral("x")},
                                      {QStringLiteral("--overwrite"), QStringLiteral("--rename")},
                                      {QStringLiteral("--grab-mode"), QStringLiteral("0")},
                                      {QStringLiteral("--jobs"), QStringLiteral("0")},
                                      {QStringLiteral("--jobs"), QStringLiteral("two")}};
  for (const QStringList& options : refused) {
    SCOPED_TRACE(options.join(QLatin1Char(' ')).toStdString());
    const test::ToolResult run = Cli(Rip(options));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_TRUE(QDir(Out(QString())).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
  }
  EXPECT_EQ(Cli({QStringLiteral("rip"), QStringLiteral("--output"), Out(QString())}).exitCode, 2) << "no device";
  EXPECT_EQ(Cli(QStringList{QStringLiteral("rip"), QStringLiteral("--device"), Path(QStringLiteral("missing.cue")),
                            QStringLiteral("--output"), Out(QString())})
                .exitCode,
            1);
}

TEST_F(RipCommandTest, ExistingOutputsAndRepeatedNamesAreSkipped) {
  // A pattern without %N gives every track the same name; the first track's name exists already
  // for the first run, and the second track must not overwrite the first in the second run.
  const QStringList options = {QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--output-name"),
                               QStringLiteral("same"), QStringLiteral("--skip-existing")};
  ASSERT_TRUE(QDir().mkpath(Out(QString())));
  ASSERT_TRUE(test::WriteAll(Out(QStringLiteral("same.wav")), "older"));
  test::ToolResult run = Cli(Rip(options + QStringList{QStringLiteral("--tracks"), QStringLiteral("1")}));
  EXPECT_EQ(run.exitCode, 0) << run.err.constData();
  EXPECT_EQ(test::ReadAll(Out(QStringLiteral("same.wav"))), QByteArray("older"));

  ASSERT_TRUE(QFile::remove(Out(QStringLiteral("same.wav"))));
  run = Cli(Rip(options + QStringList{QStringLiteral("--tracks"), QStringLiteral("1,2")}));
  EXPECT_EQ(run.exitCode, 0) << run.err.constData();
  EXPECT_TRUE(test::DecodeWithFfmpeg(Out(QStringLiteral("same.wav"))) == disc_.tracks[0]);
  EXPECT_EQ(run.out.count("Skipped"), 1) << run.out.constData();
}

// A track that cannot be read fails alone: the exit status says so, its line says why, and the
// track read whole counts no read errors.
TEST_F(RipCommandTest, AnUnreadableTrackFailsAloneWithItsReason) {
  const test::DiscImage album = test::DiscImageFixture(Path(QStringLiteral("images")))
                                    .BuildAlbum(QStringLiteral("damaged"), {{{.sectors = 60}, {.sectors = 40}}},
                                                test::DiscImageFixture::AlbumFile::Flac);
  QFile flac(album.bin);
  ASSERT_TRUE(flac.open(QIODevice::ReadWrite) && flac.seek(flac.size() * 90 / 100));
  const qint64 damaged = flac.size() - flac.pos();
  ASSERT_EQ(flac.write(QByteArray(damaged, '\0')), damaged);
  flac.close();
  const test::ToolResult run =
      Cli({QStringLiteral("rip"), QStringLiteral("--device"), album.cue, QStringLiteral("--output"), Out(QString()),
           QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--retries"), QStringLiteral("0"),
           QStringLiteral("--error-action"), QStringLiteral("stop"), QStringLiteral("--json")});
  EXPECT_EQ(run.exitCode, 1) << run.err.constData();
  const QList<QByteArray> lines = run.out.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 3) << run.out.constData();
  const QJsonObject whole = QJsonDocument::fromJson(lines[0]).object();
  EXPECT_EQ(whole[QStringLiteral("read_errors")].toInt(-1), 0);
  EXPECT_TRUE(whole[QStringLiteral("detail")].toString().isEmpty());
  EXPECT_FALSE(QJsonDocument::fromJson(lines[1]).object()[QStringLiteral("detail")].toString().isEmpty());
  EXPECT_EQ(QJsonDocument::fromJson(lines[2]).object()[QStringLiteral("failed")].toInt(), 1);
}

// A FLAC album cut short inside track 2, as an interrupted copy leaves it: track 3, wholly past
// its data, fails with that reason, whether the engine or the grabber reads it.
TEST_F(RipCommandTest, ATrackWhollyPastTheEndOfAnImageFailsWithThatReason) {
  const test::DiscImage album =
      test::DiscImageFixture(Path(QStringLiteral("images")))
          .BuildAlbum(QStringLiteral("cut"), {{{.sectors = 60}, {.sectors = 60}, {.sectors = 40}}},
                      test::DiscImageFixture::AlbumFile::Flac);
  QFile flac(album.bin);
  ASSERT_TRUE(flac.resize(flac.size() * 90 / 160));
  for (const char* mode : {"1", "4"}) {
    SCOPED_TRACE(mode);
    const test::ToolResult run =
        Cli({QStringLiteral("rip"), QStringLiteral("--device"), album.cue, QStringLiteral("--output"),
             Out(QString::fromLatin1(mode)), QStringLiteral("--format"), QStringLiteral("wav"),
             QStringLiteral("--grab-mode"), QString::fromLatin1(mode), QStringLiteral("--error-action"),
             QStringLiteral("silence"), QStringLiteral("--tracks"), QStringLiteral("3"),
             QStringLiteral("--output-name"), QStringLiteral("%N"), QStringLiteral("--json")});
    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    const QJsonObject track = QJsonDocument::fromJson(run.out.split('\n').front()).object();
    EXPECT_EQ(track[QStringLiteral("status")].toString(), QStringLiteral("Failed")) << run.out.constData();
    EXPECT_EQ(track[QStringLiteral("detail")].toString(), QStringLiteral("The disc image holds no data for track 3."));
    EXPECT_TRUE(QDir(Out(QString::fromLatin1(mode))).entryList({QStringLiteral("*.wav")}, QDir::Files).isEmpty());
  }
}

// The look-up's titles replace the CD-TEXT's ("Second" for "Two"); when it finds nothing, the
// CD-TEXT names the file.
TEST_F(RipCommandTest, LookupTitlesNameTheFilesAndNothingFoundFallsBackToCdText) {
  QByteArray scenario;
  test::LoopbackHttpServer server(
      [&scenario](const test::HttpRequest& request) { return test::ServeDiscLookup(request, scenario); });
  ASSERT_NE(server.Port(), 0) << "the loopback server could not listen";
  {
    QSettings stored(Path(QStringLiteral("config/Quillon/Bexlor.conf")), QSettings::IniFormat);
    stored.setValue(QStringLiteral("FreeDB Setting/Server URL Index"), 0);
    stored.setValue(QStringLiteral("FreeDB Setting/Server Name"), QStringLiteral("127.0.0.1"));
    stored.setValue(QStringLiteral("FreeDB Setting/Server Port"), server.Port());
    stored.setValue(QStringLiteral("FreeDB Setting/MusicBrainz URL"),
                    QStringLiteral("http://127.0.0.1:%1").arg(server.Port()));
  }
  const struct {
    const char* scenario;
    const char* service;
    const char* name;
  } cases[] = {{"exact", "freedb", "Second"}, {"exact", "musicbrainz", "Second"}, {"nomatch", "freedb", "Two"}};
  // MusicBrainz files a disc with a data track after its audio under a lead-out 11400 sectors
  // before that track, which this short disc does not reach: it is asked about the sheet of the
  // audio tracks alone.
  const QByteArray sheet = test::ReadAll(disc_.cue);
  const QString audioOnly = QFileInfo(disc_.cue).absoluteDir().filePath(QStringLiteral("audio-only.cue"));
  ASSERT_TRUE(test::WriteAll(audioOnly, sheet.left(sheet.indexOf("  TRACK 05"))));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.service);
    scenario = c.scenario;
    test::ToolRun options = CliRun();
    options.serveEvents = true;
    const QString output = Path(QString::fromLatin1(c.scenario) + QLatin1Char('-') + QString::fromLatin1(c.service));
    const test::ToolResult run =
        test::RunTool(CliPath(),
                      {QStringLiteral("rip"), QStringLiteral("--device"),
                       c.service == std::string("musicbrainz") ? audioOnly : disc_.cue, QStringLiteral("--output"),
                       output, QStringLiteral("--tracks"), QStringLiteral("2"), QStringLiteral("--format"),
                       QStringLiteral("wav"), QStringLiteral("--output-name"), QStringLiteral("%A-%M-%N-%T"),
                       QStringLiteral("--lookup"), QString::fromLatin1(c.service)},
                      options);
    const QString path =
        output + QStringLiteral("/AC_DC-Live_ 1992-02-") + QString::fromLatin1(c.name) + QStringLiteral(".wav");
    EXPECT_TRUE(test::DecodeWithFfmpeg(path) == disc_.tracks[1]);
    EXPECT_EQ(run.err.contains("CD-TEXT"), c.name == std::string("Two")) << run.err.constData();
  }
}

// Ctrl-C stops the reading and the encodings alike, with one encoder or two beside the reading,
// and the grabber's own grab (grab mode 3 writes Ogg Vorbis as it reads).
TEST_F(RipCommandTest, InterruptedRipLeavesNoPartialFile) {
  const test::DiscImage longDisc = test::DiscImageFixture(Path(QStringLiteral("images")))
                                       .Build(QStringLiteral("long"), {{{.sectors = 75 * 60}, {.sectors = 75 * 60}}});
  for (const auto& [jobs, grabMode] : {std::pair{"1", "2"}, {"2", "2"}, {"1", "3"}}) {
    SCOPED_TRACE(std::string(jobs) + " jobs, grab mode " + grabMode);
    const QString out = Path(QStringLiteral("int") + QString::fromLatin1(jobs) + QString::fromLatin1(grabMode));
    QProcess process;
    process.setProcessEnvironment(environment_);
    process.start(CliPath(),
                  {QStringLiteral("rip"), QStringLiteral("--device"), longDisc.cue, QStringLiteral("--output"), out,
                   QStringLiteral("--format"), QStringLiteral("ogg"), QStringLiteral("--jobs"),
                   QString::fromLatin1(jobs), QStringLiteral("--grab-mode"), QString::fromLatin1(grabMode)});
    ASSERT_TRUE(process.waitForStarted());
    // Wait until the output is being written (an open file in the output folder, which may have
    // no name yet; with --jobs 2 a second one, the encoding's beside the track read ahead), then
    // press Ctrl-C.
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(process.processId()));
    const auto writing = [&] {
      QSet<QString> files;
      for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target.startsWith(out + QLatin1Char('/'))) files.insert(target);
      }
      return files.size() >= QByteArray(jobs).toInt();
    };
    for (int i = 0; i < 2400 && !writing(); ++i) QThread::msleep(25);
    ASSERT_TRUE(writing()) << "the rip never started writing";
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 130);
    QDirIterator left(out, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    EXPECT_FALSE(left.hasNext()) << qPrintable(left.hasNext() ? left.next() : QString());
  }
}

}  // namespace
}  // namespace corvane
