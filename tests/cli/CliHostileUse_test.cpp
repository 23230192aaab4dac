// corvane-cli used as a hostile user would: full disks, two sources for one output name, signals
// to the process group, planted programs, special files, long names and tags, refused runs and
// values that do not parse. Every external program runs through the tool runner; a shell script
// stands in for the user's terminal where signals or a private mount are needed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <unistd.h>
#include <cstdio>

#include "support/CliFixture.h"
#include "support/QtPrinters.h"
#include "support/SourceFixtures.h"
#include "support/ToolRunner.h"

namespace corvane {
namespace {

using test::ToolResult;
using test::ToolRun;

const QString kCli = test::CliFixture::CliPath();

// The JSON lines corvane-cli prints for its files (the summary line left out).
QList<QJsonObject> FileLines(const QByteArray& out) {
  QList<QJsonObject> lines;
  for (const QByteArray& line : out.split('\n')) {
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    if (object.contains(QStringLiteral("status"))) lines << object;
  }
  return lines;
}

QStringList Statuses(const QByteArray& out) {
  QStringList statuses;
  for (const QJsonObject& line : FileLines(out)) statuses << line.value(QStringLiteral("status")).toString();
  statuses.sort();
  return statuses;
}

class CliHostileUse : public test::CliFixture {
 protected:
  // A POSIX shell script with positional parameters, for what needs a process group, a signal
  // or (`privateMount`: inside unshare, which needs no privilege) a mount of its own.
  ToolResult Shell(const QString& script, const QStringList& parameters, bool privateMount = false) {
    ToolRun run;
    run.environment = environment_;
    run.mayFail = true;
    run.timeout_ms = 240000;
    const QStringList shell =
        QStringList{QStringLiteral("sh"), QStringLiteral("-c"), script, QStringLiteral("sh")} + parameters;
    if (!privateMount) return test::RunTool(shell.first(), shell.mid(1), run);
    return test::RunTool(QStringLiteral("unshare"), QStringList{QStringLiteral("-rm")} + shell, run);
  }

  // A tone of `seconds` (sine) or pink noise, 44.1 kHz stereo 16-bit WAV, with `metadata`
  // (an ffmetadata file's text) when given.
  QString MakeSource(const QString& relative, double seconds, bool noise = false, const QByteArray& metadata = {}) {
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString signal = noise ? QStringLiteral("anoisesrc=c=pink:a=0.4:r=44100:d=%1").arg(seconds)
                                 : QStringLiteral("sine=f=440:r=44100:d=%1").arg(seconds);
    QStringList arguments = {QStringLiteral("-v"),
                             QStringLiteral("error"),
                             QStringLiteral("-y"),
                             QStringLiteral("-f"),
                             QStringLiteral("lavfi"),
                             QStringLiteral("-i"),
                             signal};
    if (!metadata.isEmpty()) {
      const QString meta = path + QStringLiteral(".meta");
      test::WriteAll(meta, ";FFMETADATA1\n" + metadata);
      arguments << QStringLiteral("-f") << QStringLiteral("ffmetadata") << QStringLiteral("-i") << meta
                << QStringLiteral("-map_metadata") << QStringLiteral("1");
    }
    arguments << QStringLiteral("-ac") << QStringLiteral("2") << QStringLiteral("-c:a") << QStringLiteral("pcm_s16le")
              << path;
    test::ToolOutput(QStringLiteral("ffmpeg"), arguments);
    return path;
  }

  QStringList EntriesOf(const QString& folder) const {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  }
};

// --- Full disk: the existing output stays as it was -------------------------------------------

struct FullDiskCase {
  const char* format;
  const char* extension;
  bool reason_in_detail;  // the system's words reach the detail (flac, WMA and APE give codes)
};

class FullDisk : public CliHostileUse, public testing::WithParamInterface<FullDiskCase> {};

TEST_P(FullDisk, FailsTheJobAndKeepsTheExistingOutput) {
  const FullDiskCase& c = GetParam();
  const QString format = QString::fromLatin1(c.format);
  const QString extension = QString::fromLatin1(c.extension);
  // A good output of a short tone, then a longer noise source into a nearly full file system.
  const QString tone = MakeSource(QStringLiteral("tone/x.wav"), 0.5);
  const ToolResult first =
      Cli({QStringLiteral("convert"), QStringLiteral("--format"), format, QStringLiteral("--output"),
           Path(QStringLiteral("good")), QStringLiteral("--jobs"), QStringLiteral("1"), tone});
  ASSERT_EQ(first.exitCode, 0) << first.err.constData();
  const QString good = Path(QStringLiteral("good/x.") + extension);
  const QString source = MakeSource(QStringLiteral("src/x.wav"), 6.0, true);
  const QString mount = Path(QStringLiteral("disk"));
  QDir().mkpath(mount);

  const ToolResult result = Shell(QStringLiteral(R"(
    mount -t tmpfs -o size=1m tmpfs "$1" || exit 90
    cp "$2" "$1/x.$5" || exit 91
    dd if=/dev/zero of="$1/fill" bs=4k 2>/dev/null
    truncate -s -12K "$1/fill" || exit 92
    "$3" convert --format "$6" --output "$1" --overwrite --json --jobs 1 "$4"
    echo "exit=$?"
    cmp -s "$2" "$1/x.$5" && echo kept
    ls -A "$1" | tr '\n' ' '
  )"),
                                  {mount, good, kCli, source, extension, format}, true);
  ASSERT_FALSE(result.out.contains("exit=9")) << result.out.constData() << result.err.constData();
  EXPECT_TRUE(result.out.contains("exit=1")) << result.out.constData();
  EXPECT_TRUE(result.out.contains("kept")) << "the good output was replaced: " << result.out.constData();
  EXPECT_TRUE(result.out.trimmed().endsWith(QByteArray("fill x.") + c.extension))
      << "left behind: " << result.out.constData();
  const QList<QJsonObject> lines = FileLines(result.out);
  ASSERT_EQ(lines.size(), 1) << result.out.constData();
  EXPECT_EQ(lines[0].value(QStringLiteral("status")).toString(), QStringLiteral("Failed"));
  if (c.reason_in_detail) {
    EXPECT_TRUE(lines[0].value(QStringLiteral("detail")).toString().contains(QStringLiteral("No space left on device")))
        << qPrintable(lines[0].value(QStringLiteral("detail")).toString());
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, FullDisk,
                         testing::Values(FullDiskCase{"mp3", "MP3", true}, FullDiskCase{"ogg", "OGG", true},
                                         FullDiskCase{"wav", "WAV", true}, FullDiskCase{"vox", "VOX", true},
                                         FullDiskCase{"mpc", "MPC", true}, FullDiskCase{"flac", "FLAC", false},
                                         FullDiskCase{"wma", "WMA", false}, FullDiskCase{"ape", "APE", false}),
                         [](const auto& param) { return std::string(param.param.format); });

// --- Two sources, one output name ---------------------------------------------------------------

TEST_F(CliHostileUse, TwoSourcesForOneNameSeeEachOther) {
  // x.wav and x.Wav both give x.WAV; run side by side, the second finds the name taken.
  const QString lower = MakeSource(QStringLiteral("in/x.wav"), 1.0);
  const QString upper = MakeSource(QStringLiteral("in/x.Wav"), 2.0);
  const struct {
    const char* option;
    QStringList statuses;
    QStringList files;
  } cases[] = {
      {"--skip-existing", {QStringLiteral("Completed"), QStringLiteral("Skipped")}, {QStringLiteral("x.WAV")}},
      {"--rename",
       {QStringLiteral("Completed"), QStringLiteral("Completed")},
       {QStringLiteral("x (1).WAV"), QStringLiteral("x.WAV")}},
  };
  for (const auto& c : cases) {
    const QString out = Path(QStringLiteral("out") + QString::fromLatin1(c.option));
    const ToolResult result = Cli({QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("wav"),
                                   QStringLiteral("--output"), out, QStringLiteral("--jobs"), QStringLiteral("2"),
                                   QStringLiteral("--json"), QString::fromLatin1(c.option), lower, upper});
    EXPECT_EQ(result.exitCode, 0) << c.option << result.err.constData();
    EXPECT_EQ(Statuses(result.out), c.statuses) << c.option << result.out.constData();
    EXPECT_EQ(EntriesOf(out), c.files) << c.option;
    // Every output is one whole source: one second or two, never a mixture.
    QList<double> durations;
    for (const QString& file : EntriesOf(out)) durations << test::ProbeDuration(out + QLatin1Char('/') + file);
    for (const double duration : durations)
      EXPECT_TRUE(qAbs(duration - 1.0) < 0.05 || qAbs(duration - 2.0) < 0.05) << duration;
    if (durations.size() == 2) {
      EXPECT_GT(qAbs(durations[0] - durations[1]), 0.5) << "both outputs hold the same source";
    }
  }
}

TEST_F(CliHostileUse, TwoProcessesNeverReplaceEachOthersOutput) {
  const QString a = MakeSource(QStringLiteral("a/x.wav"), 3.0);
  const QString b = MakeSource(QStringLiteral("b/x.wav"), 4.0);
  const QString out = Path(QStringLiteral("shared"));
  // Both start before either has an output; neither may replace the other's.
  const ToolResult result = Shell(QStringLiteral(R"(
    "$1" convert --format ogg --output "$2" --skip-existing --json "$3" > "$2.a" &
    "$1" convert --format ogg --output "$2" --skip-existing --json "$4" > "$2.b" &
    wait
    cat "$2.a" "$2.b"
  )"),
                                  {kCli, out, a, b});
  // Either process may be the one that gets there first.
  QStringList statuses = Statuses(result.out);
  statuses.sort();
  EXPECT_EQ(statuses, (QStringList{QStringLiteral("Completed"), QStringLiteral("Skipped")})) << result.out.constData();
  EXPECT_EQ(EntriesOf(out), QStringList{QStringLiteral("x.OGG")});
  const double duration = test::ProbeDuration(out + QStringLiteral("/x.OGG"));
  EXPECT_TRUE(qAbs(duration - 3.0) < 0.1 || qAbs(duration - 4.0) < 0.1) << duration;
}

TEST_F(CliHostileUse, AFolderAtTheOutputNameIsAnExistingOutput) {
  const QString source = MakeSource(QStringLiteral("f/x.wav"), 0.5);
  const QString out = Path(QStringLiteral("fout"));
  QDir().mkpath(out + QStringLiteral("/x.MP3"));
  const QStringList base = {
      QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--output"), out,
      QStringLiteral("--json")};
  ToolResult result = Cli(base + QStringList{QStringLiteral("--skip-existing"), source});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(Statuses(result.out), QStringList{QStringLiteral("Skipped")}) << result.out.constData();
  result = Cli(base + QStringList{QStringLiteral("--rename"), source});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(Statuses(result.out), QStringList{QStringLiteral("Completed")}) << result.out.constData();
  EXPECT_GT(test::ProbeDuration(out + QStringLiteral("/x (1).MP3")), 0.4);
  EXPECT_TRUE(QFileInfo(out + QStringLiteral("/x.MP3")).isDir());
}

// --- Signals -------------------------------------------------------------------------------

// The script starts corvane-cli as the leader of a process group of its own, as a shell does
// with a foreground job, waits until the FLAC job's hidden file shows that the encoders run, and
// signals the whole group, as a terminal or a session manager does.
const char* const kSignalScript = R"(
  out="$2"; signal="$3"
  setsid "$1" convert --output "$out" --jobs 2 --json --format "$4" "$5" "$6" > "$out.json" &
  pid=$!
  n=0
  until ls -A "$out" 2>/dev/null | grep -q '^\.'; do
    n=$((n+1)); [ $n -gt 6000 ] && { echo "never started"; break; }
    sleep 0.05
  done
  kill -s "$signal" -- -"$pid"
  wait "$pid"
  echo "exit=$?"
  cat "$out.json"
)";

TEST_F(CliHostileUse, SignalsStopTheRunAndLeaveNothingBehind) {
  const QString a = MakeSource(QStringLiteral("sig/a.wav"), 240.0);
  const QString b = MakeSource(QStringLiteral("sig/b.wav"), 240.0);
  const struct {
    const char* signal;
    const char* exit;
  } cases[] = {{"TERM", "exit=143"}, {"HUP", "exit=129"}, {"INT", "exit=130"}};
  for (const auto& c : cases) {
    const QString out = Path(QStringLiteral("sig-") + QString::fromLatin1(c.signal));
    QDir().mkpath(out);
    const ToolResult result = Shell(QString::fromLatin1(kSignalScript),
                                    {kCli, out, QString::fromLatin1(c.signal), QStringLiteral("flac"), a, b});
    EXPECT_FALSE(result.out.contains("never started"));
    EXPECT_TRUE(result.out.contains(c.exit)) << c.signal << result.out.constData();
    // The encoders did not get the signal first: the files were stopped, not failed.
    EXPECT_EQ(Statuses(result.out), (QStringList{QStringLiteral("Cancelled"), QStringLiteral("Cancelled")}))
        << c.signal << result.out.constData();
    EXPECT_TRUE(EntriesOf(out).isEmpty()) << c.signal << qPrintable(EntriesOf(out).join(u' '));
  }
}

TEST_F(CliHostileUse, AfterSigkillTheNextRunRemovesTheLeftOvers) {
  const QString a = MakeSource(QStringLiteral("kill/a.wav"), 240.0);
  const QString b = MakeSource(QStringLiteral("kill/b.wav"), 240.0);
  const QString out = Path(QStringLiteral("killed"));
  QDir().mkpath(out);
  const ToolResult killed =
      Shell(QString::fromLatin1(kSignalScript), {kCli, out, QStringLiteral("KILL"), QStringLiteral("flac"), a, b});
  EXPECT_TRUE(killed.out.contains("exit=137")) << killed.out.constData();
  // Only the named files a child encoder writes can outlive a killed run; unnamed ones cannot.
  for (const QString& entry : EntriesOf(out))
    EXPECT_TRUE(entry.startsWith(QStringLiteral(".corvane-"))) << qPrintable(entry);
  // Their encoders end once their input is gone; then nothing holds the files any more.
  const ToolResult settled = Shell(QStringLiteral(R"(
    n=0; while pgrep -f -- "-o $1/" >/dev/null; do n=$((n+1)); [ $n -gt 6000 ] && break; sleep 0.05; done
  )"),
                                   {out});
  ASSERT_EQ(settled.exitCode, 0);
  const QString small = MakeSource(QStringLiteral("kill/small.wav"), 0.5);
  const ToolResult next = Cli({QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("mp3"),
                               QStringLiteral("--output"), out, small});
  EXPECT_EQ(next.exitCode, 0) << next.err.constData();
  EXPECT_EQ(EntriesOf(out), QStringList{QStringLiteral("small.MP3")});
}

// --- Planted programs ----------------------------------------------------------------------

TEST_F(CliHostileUse, AProgramPlantedInTheWorkingFolderIsNeverRun) {
  const QString source = MakeSource(QStringLiteral("plant/x.wav"), 2.0);
  const QString planted = Path(QStringLiteral("plant"));
  const QString marker = Path(QStringLiteral("planted-program-ran"));
  for (const char* name : {"flac", "mpcenc"}) {
    const QString script = planted + QLatin1Char('/') + QString::fromLatin1(name);
    test::WriteAll(script, QStringLiteral("#!/bin/sh\ntouch '%1'\ncat >/dev/null\n").arg(marker).toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  // The working folder, an empty entry and a relative one on PATH: all of them mean "here".
  environment_.insert(QStringLiteral("PATH"), QStringLiteral(":.:plant:") + environment_.value(QStringLiteral("PATH")));
  for (const char* format : {"flac", "mpc"}) {
    const ToolResult result = Cli({QStringLiteral("convert"), QStringLiteral("--format"), QString::fromLatin1(format),
                                   QStringLiteral("--output"), Path(QStringLiteral("pout")), source},
                                  planted);
    EXPECT_EQ(result.exitCode, 0) << format << result.err.constData();
    EXPECT_FALSE(QFileInfo::exists(marker)) << format;
  }
  EXPECT_GT(test::ProbeDuration(Path(QStringLiteral("pout/x.FLAC"))), 1.9);
  EXPECT_GT(test::ProbeDuration(Path(QStringLiteral("pout/x.MPC"))), 1.0);
}

// --- Special files -------------------------------------------------------------------------

TEST_F(CliHostileUse, SpecialFilesAreRefusedOneByOne) {
  const QString good = MakeSource(QStringLiteral("sp/good.wav"), 0.5);
  const QString fifo = Path(QStringLiteral("sp/fifo.wav"));
  test::ToolOutput(QStringLiteral("mkfifo"), {fifo}, ToolRun{});
  const QString zero = Path(QStringLiteral("sp/zero.wav"));
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));

  const ToolResult probe = Cli({QStringLiteral("probe"), fifo, zero});
  EXPECT_EQ(probe.exitCode, 1);
  EXPECT_EQ(probe.err.count("not a regular file"), 2) << probe.err.constData();

  // Given by name and found in a folder: each is a failed line of its own, the rest converts.
  for (const QStringList& sources : {QStringList{fifo, zero, good}, QStringList{Path(QStringLiteral("sp"))}}) {
    const ToolResult result =
        Cli(QStringList{QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("mp3"),
                        QStringLiteral("--output"), Path(QStringLiteral("spout")), QStringLiteral("--overwrite"),
                        QStringLiteral("--json")} +
            sources);
    EXPECT_EQ(result.exitCode, 1) << result.err.constData();
    int refused = 0;
    for (const QJsonObject& line : FileLines(result.out)) {
      const bool special = !line.value(QStringLiteral("source")).toString().endsWith(QStringLiteral("good.wav"));
      EXPECT_EQ(line.value(QStringLiteral("status")).toString(),
                special ? QStringLiteral("Failed") : QStringLiteral("Completed"));
      if (special) refused += line.value(QStringLiteral("detail")).toString() == QStringLiteral("not a regular file");
    }
    EXPECT_EQ(refused, 2) << result.out.constData();
  }
}

TEST_F(CliHostileUse, ANameThatIsNotUtf8IsReportedNotDropped) {
  const QString folder = Path(QStringLiteral("latin"));
  // "caf\xe9.wav": a Latin-1 name, beside a plain one.
  const QString bad = MakeSource(QStringLiteral("latin/bad.wav"), 0.5);
  ASSERT_EQ(::rename(QFile::encodeName(bad).constData(), (QFile::encodeName(folder) + "/caf\xe9.wav").constData()), 0);
  MakeSource(QStringLiteral("latin/plain.wav"), 0.5);
  const ToolResult result =
      Cli({QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--output"),
           Path(QStringLiteral("lout")), QStringLiteral("--json"), folder});
  EXPECT_EQ(result.exitCode, 1) << result.out.constData();
  EXPECT_EQ(Statuses(result.out), (QStringList{QStringLiteral("Completed"), QStringLiteral("Failed")}))
      << result.out.constData();
  EXPECT_TRUE(result.out.contains("not valid UTF-8")) << result.out.constData();
  ::unlink((QFile::encodeName(folder) + "/caf\xe9.wav").constData());  // out of Qt's reach
}

// --- Long names and tags -------------------------------------------------------------------

TEST_F(CliHostileUse, LongNamesAndPathsConvert) {
  // A base name of 246 bytes (the output's name then has 250), and an output path of about
  // 1,100 characters.
  const QString longName =
      MakeSource(QStringLiteral("ln/") + QString(246, QLatin1Char('n')) + QStringLiteral(".wav"), 0.5);
  QString deep = Path(QStringLiteral("deep"));
  while (deep.size() < 1100) deep += QLatin1Char('/') + QString(100, QLatin1Char('d'));
  const QString source = MakeSource(QStringLiteral("ln/short.wav"), 0.5);
  for (const char* format : {"wav", "vox", "mp3", "flac"}) {
    const ToolResult named =
        Cli({QStringLiteral("convert"), QStringLiteral("--format"), QString::fromLatin1(format),
             QStringLiteral("--output"), Path(QStringLiteral("lnout")), QStringLiteral("--json"), longName});
    EXPECT_EQ(Statuses(named.out), QStringList{QStringLiteral("Completed")}) << format << named.out.constData();
    const ToolResult deepRun = Cli({QStringLiteral("convert"), QStringLiteral("--format"), QString::fromLatin1(format),
                                    QStringLiteral("--output"), deep, QStringLiteral("--json"), source});
    EXPECT_EQ(Statuses(deepRun.out), QStringList{QStringLiteral("Completed")}) << format << deepRun.out.constData();
  }
  EXPECT_EQ(EntriesOf(Path(QStringLiteral("lnout"))).size(), 4);
  EXPECT_EQ(EntriesOf(deep).size(), 4);
}

TEST_F(CliHostileUse, LongTagsNeverStopAnEncodeAndNeverSpoilTheOthers) {
  const QByteArray title(200000, 'T');
  const QString source =
      MakeSource(QStringLiteral("tags/x.wav"), 0.5, false, "title=" + title + "\nartist=The Artist\nalbum=The Album\n");
  const QString out = Path(QStringLiteral("tout"));
  for (const char* format : {"flac", "mpc", "wma"}) {
    const ToolResult result = Cli({QStringLiteral("convert"), QStringLiteral("--format"), QString::fromLatin1(format),
                                   QStringLiteral("--output"), out, QStringLiteral("--json"), source});
    EXPECT_EQ(Statuses(result.out), QStringList{QStringLiteral("Completed")}) << format << result.out.constData();
  }
  // FLAC and APEv2 hold the whole title; ASF holds 32,766 UTF-16 units of it, the rest intact.
  const struct {
    const char* file;
    qsizetype title;
  } expected[] = {{"x.FLAC", title.size()}, {"x.MPC", title.size()}, {"x.WMA", 32766}};
  for (const auto& e : expected) {
    const QString file = out + QLatin1Char('/') + QString::fromLatin1(e.file);
    EXPECT_EQ(test::ProbeTag(file, QStringLiteral("title")).size(), e.title) << e.file;
    EXPECT_EQ(test::ProbeTag(file, QStringLiteral("artist")), QStringLiteral("The Artist")) << e.file;
    EXPECT_EQ(test::ProbeTag(file, QStringLiteral("album")), QStringLiteral("The Album")) << e.file;
  }
}

// --- Exit statuses and options -------------------------------------------------------------

TEST_F(CliHostileUse, RefusedRunsAndBadValuesExitWithTwo) {
  const QString source = MakeSource(QStringLiteral("st/Album/a.wav"), 0.5);
  const QString album = Path(QStringLiteral("st/Album"));
  const QString link = Path(QStringLiteral("st/link"));
  ASSERT_TRUE(QFile::link(album, link));
  // An output folder whose mirrored folder cannot be made (a file is in its place).
  const QString blocked = Path(QStringLiteral("blocked"));
  QDir().mkpath(blocked);
  test::WriteAll(blocked + QStringLiteral("/Album"), "a file");
  const struct {
    QStringList arguments;
    const char* message;  // a text standard error holds exactly once
  } cases[] = {
      {{QStringLiteral("--output"), link, album}, "can not be same as the output folder"},
      {{QStringLiteral("--output"), blocked, album}, "Failed to create the directory below"},
      {{QStringLiteral("--output"), Path(QStringLiteral("o1")), QStringLiteral("--format"), QStringLiteral("mp3"),
        QStringLiteral("--rate"), QStringLiteral("44100"), QStringLiteral("--bitrate"), QStringLiteral("0"),
        QStringLiteral("--jobs"), QStringLiteral("2"), source, source},
       "Selected device doesn't support 44100 Hz, 0 kbps Stereo as MP3 format!"},
      {{QStringLiteral("--output"), Path(QStringLiteral("o2")), QStringLiteral("--format"), QStringLiteral("mp3"),
        QStringLiteral("--rate"), QStringLiteral("8000"), QStringLiteral("--bitrate"), QStringLiteral("320"),
        QStringLiteral("--channels"), QStringLiteral("2"), source},
       "Selected device doesn't support 8000 Hz, 320 kbps Stereo as MP3 format!"},
      {{QStringLiteral("--output"), Path(QStringLiteral("o3")), QStringLiteral("--normalize"), QStringLiteral("abc"),
        source},
       "--normalize"},
  };
  for (const auto& c : cases) {
    const ToolResult result = Cli(QStringList{QStringLiteral("convert")} + c.arguments);
    EXPECT_EQ(result.exitCode, 2) << c.message << result.out.constData() << result.err.constData();
    EXPECT_EQ(result.err.count(c.message), 1) << result.err.constData();
  }
  EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("o1/a.MP3"))));
}

TEST_F(CliHostileUse, APresetThatCannotBeStoredExitsWithOne) {
  // The settings folder lies below a file, so nothing can be stored there.
  test::WriteAll(Path(QStringLiteral("notafolder")), "x");
  environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), Path(QStringLiteral("notafolder/config")));
  const ToolResult result = Cli({QStringLiteral("presets"), QStringLiteral("save"), QStringLiteral("Mine"),
                                 QStringLiteral("--format"), QStringLiteral("flac")});
  EXPECT_EQ(result.exitCode, 1) << result.err.constData();
  EXPECT_TRUE(result.err.contains("Failed to initialize/update the config file!"));
}

TEST_F(CliHostileUse, ARunLeavesTheWindowsSettingsAlone) {
  // The window's settings as a user left them.
  const QString settings = Path(QStringLiteral("config/Quillon/Bexlor.conf"));
  QDir().mkpath(QFileInfo(settings).absolutePath());
  test::WriteAll(settings, "[Convert]\nNormalization%20Value=80\n\n[Encoder]\nFALC%20Compression%20Level=12\n");
  const QByteArray before = test::ReadAll(settings);
  const QString source = MakeSource(QStringLiteral("set/x.wav"), 0.5);
  for (const char* format : {"flac", "ape", "mp3"}) {
    const ToolResult result = Cli({QStringLiteral("convert"), QStringLiteral("--format"), QString::fromLatin1(format),
                                   QStringLiteral("--normalize"), QStringLiteral("50"), QStringLiteral("--output"),
                                   Path(QStringLiteral("sout")), QStringLiteral("--overwrite"), source});
    EXPECT_EQ(result.exitCode, 0) << format << result.err.constData();
  }
  EXPECT_EQ(test::ReadAll(settings), before);
}

}  // namespace
}  // namespace corvane
