// corvane-cli rip on generated disc images: bit-exact lossless tracks, the default names and the
// tags from CD-TEXT, the JSON lines, usage errors and existing outputs.
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

#include "support/AccurateRipReference.h"
#include "support/CliFixture.h"
#include "support/DiscImageFixture.h"
#include "support/DiscLookupServer.h"
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

TEST_F(RipCommandTest, Mp3HasTheTracksLengthAndItsTitleInBothTags) {
  const test::ToolResult run = Cli(Rip({QStringLiteral("--tracks"), QStringLiteral("3"), QStringLiteral("--format"),
                                        QStringLiteral("mp3"), QStringLiteral("--bitrate"), QStringLiteral("192")}));
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  const QString path = Out(QStringLiteral("AC_DC/Live_ 1992/Track03-Who_.mp3"));
  const double seconds = disc_.tracks[2].size() / 4.0 / 44100;
  // The encoder's delay and padding are well under a tenth of a second.
  EXPECT_NEAR(test::ProbeDuration(path), seconds, 0.1);
  EXPECT_EQ(test::ProbeTag(path, QStringLiteral("title")), QStringLiteral("Who?"));
  EXPECT_EQ(test::ProbeTag(path, QStringLiteral("album")), QStringLiteral("Live: 1992"));
  const QByteArray bytes = test::ReadAll(path);
  EXPECT_TRUE(bytes.startsWith("ID3")) << "ID3v2 before the audio";
  EXPECT_TRUE(bytes.right(128).startsWith("TAGWho?")) << "ID3v1 after it";
}

// Every way of reading gives the image's PCM: the track reader under grab mode 4 (FLAC is not a
// format the grabber encodes), the discard action (no sector of an image fails, so none is left
// out), and the next track read while the one before is encoded, whose files equal --jobs 1's.
TEST_F(RipCommandTest, EveryWayOfReadingGivesBitExactFlac) {
  const QList<QStringList> ways = {{QStringLiteral("--jobs"), QStringLiteral("1")},
                                   {QStringLiteral("--jobs"), QStringLiteral("2")},
                                   {QStringLiteral("--grab-mode"), QStringLiteral("4")},
                                   {QStringLiteral("--error-action"), QStringLiteral("discard")}};
  for (const QStringList& way : ways) {
    SCOPED_TRACE(way.join(QLatin1Char(' ')).toStdString());
    const QString folder = way.join(QString()).remove(QLatin1Char('-'));
    const test::ToolResult run =
        Cli(Rip(way + QStringList{QStringLiteral("--tracks"), QStringLiteral("1-3"), QStringLiteral("--format"),
                                  QStringLiteral("flac"), QStringLiteral("--output-name"),
                                  folder + QStringLiteral("/%N"), QStringLiteral("--json")}));
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4) << run.out.constData();
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      const QString path = Out(folder + QStringLiteral("/0%1.flac").arg(i + 1));
      EXPECT_EQ(QJsonDocument::fromJson(lines[i]).object()[QStringLiteral("output")].toString(), path)
          << "the tracks are reported in their order";
      EXPECT_TRUE(test::DecodeWithFfmpeg(path) == disc_.tracks[static_cast<size_t>(i)]);
      EXPECT_EQ(test::ProbeTag(path, QStringLiteral("ARTIST")), QStringLiteral("AC/DC"));
      if (folder == QStringLiteral("jobs2")) {
        EXPECT_EQ(test::ReadAll(path), test::ReadAll(Out(QStringLiteral("jobs1/0%1.flac").arg(i + 1))));
      }
    }
    EXPECT_EQ(QDir(Out(folder)).entryList(QDir::Files | QDir::Hidden).size(), 4)
        << "the tracks and the rip log; no temporary file is left";
  }
}

// An album image (one WAVE or FLAC file under a cue sheet) splits into its tracks sample for
// sample, the last ending inside a sector where the file ends, and each track's checksums are those
// of its audio: the WAVE file's header is never read as audio.
TEST_F(RipCommandTest, AlbumImagesSplitIntoBitExactTracksWithTheirChecksums) {
  using Form = test::DiscImageFixture::AlbumFile;
  for (const Form form : {Form::Wave, Form::Flac}) {
    const QString name = form == Form::Wave ? QStringLiteral("wave") : QStringLiteral("flac");
    SCOPED_TRACE(name.toStdString());
    const test::DiscImage album =
        test::DiscImageFixture(Path(QStringLiteral("images")))
            .BuildAlbum(
                name,
                {{{.sectors = 80, .title = QStringLiteral("One")}, {.sectors = 45, .title = QStringLiteral("Two")}},
                 QStringLiteral("Album"),
                 QStringLiteral("Band")},
                form, 100);
    ASSERT_EQ(album.tracks[1].size() % test::DiscImageFixture::kSectorBytes, 400) << "the album ends mid-sector";
    const test::ToolResult run =
        Cli({QStringLiteral("rip"), QStringLiteral("--device"), album.cue, QStringLiteral("--output"),
             Path(QStringLiteral("out")), QStringLiteral("--format"), QStringLiteral("flac"),
             QStringLiteral("--output-name"), name + QStringLiteral("/%N"), QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << run.out.constData();
    const auto hex = [](quint32 value) { return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper(); };
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(i);
      const QByteArray& pcm = album.tracks[static_cast<size_t>(i)];
      EXPECT_TRUE(test::DecodeWithFfmpeg(Out(name + QStringLiteral("/0%1.flac").arg(i + 1))) == pcm);
      const test::ReferenceSums sums = test::ReferenceAccurateRip(pcm, i == 0, i == 1);
      const QJsonObject line = QJsonDocument::fromJson(lines[i]).object();
      EXPECT_EQ(line[QStringLiteral("crc32")].toString(), hex(sums.crc));
      EXPECT_EQ(line[QStringLiteral("accuraterip_v1")].toString(), hex(sums.v1));
      EXPECT_EQ(line[QStringLiteral("accuraterip_v2")].toString(), hex(sums.v2));
    }
  }
}

// Grab mode 4 with MP3 at the disc's rate: the grabber encodes the tracks as it reads them.
TEST_F(RipCommandTest, GrabModeFourMp3HasEachTracksLengthAndTags) {
  const test::ToolResult run =
      Cli(Rip({QStringLiteral("--grab-mode"), QStringLiteral("4"), QStringLiteral("--tracks"), QStringLiteral("1,3"),
               QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--rate"), QStringLiteral("44100"),
               QStringLiteral("--output-name"), QStringLiteral("%N-%T")}));
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  for (const int row : {0, 2}) {
    SCOPED_TRACE(row);
    const QString path = Out(row == 0 ? QStringLiteral("01-Intro.mp3") : QStringLiteral("03-Who_.mp3"));
    EXPECT_NEAR(test::ProbeDuration(path), disc_.tracks[static_cast<size_t>(row)].size() / 4.0 / 44100, 0.1);
    EXPECT_EQ(test::ProbeTag(path, QStringLiteral("title")),
              row == 0 ? QStringLiteral("Intro") : QStringLiteral("Who?"));
    EXPECT_EQ(test::ProbeTag(path, QStringLiteral("track")), QString::number(row + 1));
    EXPECT_EQ(test::ProbeTag(path, QStringLiteral("artist")), QStringLiteral("AC/DC"));
  }
  EXPECT_EQ(QDir(Out(QString())).entryList(QDir::Files | QDir::Hidden).size(), 3)
      << "the tracks and the rip log; no temporary file is left";
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

TEST_F(RipCommandTest, UnreadableTrackFailsAloneOrBecomesSilence) {
  // An album image whose FLAC file is damaged inside track 4: the sheet still holds the whole
  // track, and the sectors past the damage do not read.
  const test::DiscPlan plan{{{.sectors = 75 + 13}, {.sectors = 60}, {.sectors = 75 * 2 + 1}, {.sectors = 40}},
                            QStringLiteral("Live: 1992"),
                            QStringLiteral("AC/DC")};
  const test::DiscImage album =
      test::DiscImageFixture(Path(QStringLiteral("images")))
          .BuildAlbum(QStringLiteral("damaged"), plan, test::DiscImageFixture::AlbumFile::Flac);
  QFile flac(album.bin);
  ASSERT_TRUE(flac.open(QIODevice::ReadWrite) && flac.seek(flac.size() * 95 / 100));
  const qint64 damaged = flac.size() - flac.pos();
  ASSERT_EQ(flac.write(QByteArray(damaged, '\0')), damaged);
  flac.close();
  const auto rip = [&](const char* action) {
    return Cli({QStringLiteral("rip"), QStringLiteral("--device"), album.cue, QStringLiteral("--output"),
                Path(QString::fromLatin1(action)), QStringLiteral("--tracks"), QStringLiteral("3,4"),
                QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--output-name"),
                QStringLiteral("%N"), QStringLiteral("--retries"), QStringLiteral("0"),
                QStringLiteral("--error-action"), QString::fromLatin1(action), QStringLiteral("--json")});
  };
  const test::ToolResult stopped = rip("stop");
  EXPECT_EQ(stopped.exitCode, 1) << stopped.err.constData();
  const QList<QByteArray> lines = stopped.out.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 3) << stopped.out.constData();
  EXPECT_FALSE(QJsonDocument::fromJson(lines[1]).object()[QStringLiteral("detail")].toString().isEmpty());
  EXPECT_TRUE(test::DecodeWithFfmpeg(Path(QStringLiteral("stop/03.wav"))) == album.tracks[2]);
  EXPECT_EQ(QDir(Path(QStringLiteral("stop"))).entryList(QDir::Files | QDir::Hidden),
            (QStringList{QStringLiteral("03.wav"), QStringLiteral("Live_ 1992.log")}));

  const test::ToolResult silenced = rip("silence");
  EXPECT_EQ(silenced.exitCode, 0) << silenced.err.constData();
  // Track 4 is done, but its line says the disc could not be read whole.
  const QList<QByteArray> done = silenced.out.trimmed().split('\n');
  ASSERT_EQ(done.size(), 3) << silenced.out.constData();
  const QJsonObject clean = QJsonDocument::fromJson(done[0]).object();
  const QJsonObject patchy = QJsonDocument::fromJson(done[1]).object();
  EXPECT_EQ(clean[QStringLiteral("read_errors")].toInt(-1), 0);
  EXPECT_TRUE(clean[QStringLiteral("detail")].toString().isEmpty());
  const int lost = patchy[QStringLiteral("read_errors")].toInt();
  ASSERT_GT(lost, 0);
  ASSERT_LT(lost, 40);
  EXPECT_TRUE(patchy[QStringLiteral("detail")].toString().startsWith(QStringLiteral("Track data read error")));
  const QByteArray patched = test::DecodeWithFfmpeg(Path(QStringLiteral("silence/04.wav")));
  const QByteArray& pcm = album.tracks[3];
  const qsizetype kept = static_cast<qsizetype>(40 - lost) * test::DiscImageFixture::kSectorBytes;
  ASSERT_EQ(patched.size(), pcm.size());
  EXPECT_TRUE(patched.left(kept) == pcm.left(kept));
  EXPECT_EQ(patched.mid(kept).count('\0'), patched.size() - kept);
  // The log counts the silenced sectors of track 4 and none of track 3.
  const QString log = QString::fromUtf8(test::ReadAll(Path(QStringLiteral("silence/Live_ 1992.log"))));
  const qsizetype four = log.indexOf(QStringLiteral("Track 04"));
  ASSERT_GT(four, 0) << qPrintable(log);
  const QRegularExpression errors(QStringLiteral("Read errors\\W+(\\d+)"));
  EXPECT_EQ(errors.match(log).captured(1), QStringLiteral("0")) << qPrintable(log);
  EXPECT_EQ(errors.match(log, four).captured(1), QString::number(lost)) << qPrintable(log);
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

// Ctrl-C stops the reading and the encodings alike, with --jobs 2 as with one track at a time,
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
