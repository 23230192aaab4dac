// corvane-cli rip and verify against a loopback AccurateRip database serving answers built from
// checksums a second implementation computes on the generated disc's audio: the JSON and human
// reports, a damaged track, the database's statuses, a drive's read offset, and files that are not
// CD audio.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <string>
#include <vector>

#include "components/accuraterip/AccurateRipDiscId.h"
#include "support/AccurateRipAnswerBuilder.h"
#include "support/AccurateRipReference.h"
#include "support/CliFixture.h"
#include "support/DiscImageFixture.h"
#include "support/LoopbackHttpServer.h"
#include "support/ShiftedDisc.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

constexpr int kConfidence = 7;
constexpr int kLeadIn = 150;

QString S(const char* text) { return QString::fromUtf8(text); }

QString Hex(quint32 value) { return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper(); }

std::vector<QJsonObject> JsonLines(const QByteArray& out) {
  std::vector<QJsonObject> lines;
  for (const QByteArray& line : out.trimmed().split('\n')) lines.push_back(QJsonDocument::fromJson(line).object());
  return lines;
}

class VerifiedRipTest : public test::CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    ASSERT_NE(server_.Port(), 0) << "the loopback server could not listen";
    PointAt(server_.Port());
  }

  void PointAt(quint16 port) {
    QSettings settings(Path(S("config/Quillon/Bexlor.conf")), QSettings::IniFormat);
    settings.setValue(S("Rip Setting/AccurateRip URL"), S("http://127.0.0.1:%1/accuraterip/").arg(port));
  }

  // The disc, its audio moved later by `shift` frames as such a drive reads it, and the answer
  // the server gives for it: `kConfidence` rips agree with the audio as generated (v1 for the
  // first track, v2 for the others).
  void MakeDisc(int shift = 0) {
    test::DiscImageFixture fixture(Path(S("images")));
    disc_ = shift == 0 ? fixture.Build(S("disc"), plan_) : test::BuildShiftedDisc(fixture, S("disc"), plan_, shift);
    std::vector<int> lbas;
    for (const int lsn : disc_.lsns) lbas.push_back(lsn + kLeadIn);
    id_ = MakeAccurateRipDiscId(lbas, disc_.leadout_lsn + kLeadIn);
    sums_.clear();
    std::vector<AccurateRipEntry> entries;
    const int tracks = static_cast<int>(plan_.tracks.size());
    for (int row = 0; row < tracks; ++row) {
      const QByteArray pcm = test::ReachableTrackPcm(disc_, plan_, row, shift);
      sums_.push_back(test::ReferenceAccurateRip(pcm, row == 0, row + 1 == tracks));
      entries.push_back({kConfidence, row == 0 ? sums_.back().v1 : sums_.back().v2, 0});
    }
    answer_ = test::BuildAccurateRipAnswer(id_, {entries});
  }

  test::ToolResult Run(const QStringList& arguments) const {
    test::ToolRun options = CliRun();
    options.mayFail = true;
    options.serveEvents = true;
    return test::RunTool(CliPath(), arguments, options);
  }
  test::ToolResult Rip(const QString& folder, const QStringList& options) const {
    return Run(
        QStringList{S("rip"), S("--device"), disc_.cue, S("--output"), Path(folder), S("--output-name"), S("%N")} +
        options);
  }
  test::ToolResult Verify(const QStringList& options) const {
    return Run(QStringList{S("verify"), S("--device"), disc_.cue} + options);
  }

  // Each track object names its reference checksums and `verdicts`; the summary the database's
  // `status` and the accurate count.
  void ExpectReport(const std::vector<QJsonObject>& lines, const QStringList& verdicts, const char* status) const {
    ASSERT_EQ(lines.size(), sums_.size() + 1);
    int accurate = 0;
    for (size_t i = 0; i < sums_.size(); ++i) {
      SCOPED_TRACE(i);
      const QJsonObject& track = lines[i];
      EXPECT_EQ(track[S("crc32")].toString(), Hex(sums_[i].crc));
      EXPECT_EQ(track[S("accuraterip_v1")].toString(), Hex(sums_[i].v1));
      EXPECT_EQ(track[S("accuraterip_v2")].toString(), Hex(sums_[i].v2));
      EXPECT_EQ(track[S("accuraterip")].toString(), verdicts[static_cast<qsizetype>(i)]);
      const bool good = verdicts[static_cast<qsizetype>(i)].startsWith(S("Accurately"));
      EXPECT_EQ(track[S("confidence")].toInt(-1),
                good || verdicts[static_cast<qsizetype>(i)] == S("Not accurate") ? kConfidence : 0);
      accurate += good ? 1 : 0;
    }
    const QJsonObject summary = lines.back()[S("accuraterip")].toObject();
    EXPECT_EQ(summary[S("status")].toString(), S(status));
    EXPECT_EQ(summary[S("accurate")].toInt(-1), accurate);
    EXPECT_EQ(summary[S("tracks")].toInt(-1), static_cast<int>(sums_.size()));
    EXPECT_EQ(lines.back()[S("disc_id")].toString() + S(".bin"), id_.Name());
  }
  QStringList Outputs(const QString& folder, const char* extension) const {
    QStringList files;
    for (size_t i = 1; i <= sums_.size(); ++i) files << Path(folder + S("/0%1.").arg(i) + S(extension));
    return files;
  }

  test::DiscPlan plan_{{{.sectors = 12, .title = S("One")}, {.sectors = 9}, {.sectors = 14}}, S("Album"), S("Band")};
  test::DiscImage disc_;
  AccurateRipDiscId id_;
  std::vector<test::ReferenceSums> sums_;
  QByteArray answer_;
  int status_ = 200;
  test::LoopbackHttpServer server_{[this](const test::HttpRequest& request) {
    if (request.Path() != S("/accuraterip/") + id_.UrlPath()) return test::HttpAnswer::Text("no such disc", 404);
    return test::HttpAnswer::Text(status_ == 200 ? answer_ : QByteArray(), status_);
  }};
};

const QStringList kAllAccurate(3, S("Accurately ripped (confidence 7)"));

// A rip's JSON lines carry each track's checksums and verdict, and the log's path beside the tracks,
// which the human lines print; verify on the files agrees.
TEST_F(VerifiedRipTest, TheRipAndVerifyOnItsFilesAgree) {
  MakeDisc();
  const test::ToolResult rip = Rip(S("out"), {S("--format"), S("flac"), S("--json")});
  ASSERT_EQ(rip.exitCode, 0) << rip.err.constData();
  const std::vector<QJsonObject> lines = JsonLines(rip.out);
  ExpectReport(lines, kAllAccurate, "found");
  EXPECT_EQ(lines.back()[S("log")].toString(), Path(S("out/Album.log")));
  const test::ToolResult verify = Verify(Outputs(S("out"), "flac") << S("--json"));
  EXPECT_EQ(verify.exitCode, 0) << verify.err.constData();
  ExpectReport(JsonLines(verify.out), kAllAccurate, "found");
  const test::ToolResult human = Rip(S("human"), {S("--format"), S("flac"), S("--tracks"), S("1")});
  EXPECT_TRUE(human.out.contains(("Rip log: " + Path(S("human/Album.log"))).toUtf8())) << human.out.constData();
  EXPECT_EQ(server_.Requests().size(), 3u) << "one look-up a rip and a verify";
}

// One byte of track 2 changed on the disc: that track alone is not accurate; verify says so of
// its file and exits 1, and is content with the first track's file alone.
TEST_F(VerifiedRipTest, ADamagedTrackAloneIsNotAccurate) {
  MakeDisc();
  QByteArray bin = test::ReadAll(disc_.bin);
  const qsizetype at = qsizetype{disc_.lsns[1]} * test::DiscImageFixture::kSectorBytes + 4 * 1000 + 1;
  bin[at] = static_cast<char>(bin[at] ^ 0x01);
  ASSERT_TRUE(test::WriteAll(disc_.bin, bin));
  const test::ToolResult rip = Rip(S("out"), {S("--format"), S("wav"), S("--json")});
  ASSERT_EQ(rip.exitCode, 0) << "the rip itself succeeded: " << rip.err.constData();
  std::vector<QJsonObject> lines = JsonLines(rip.out);
  ASSERT_EQ(lines.size(), 4u);
  sums_[1] = test::ReferenceAccurateRip(bin.mid(qsizetype{disc_.lsns[1]} * 2352, disc_.tracks[1].size()), false, false);
  ExpectReport(lines, {kAllAccurate[0], S("Not accurate"), kAllAccurate[2]}, "found");

  const test::ToolResult all = Verify(Outputs(S("out"), "wav"));
  EXPECT_EQ(all.exitCode, 1);
  EXPECT_TRUE(all.out.contains(("track 02  CRC32 " + Hex(sums_[1].crc) + "  v1 " + Hex(sums_[1].v1) + "  v2 " +
                                Hex(sums_[1].v2) + "  Not accurate\n")
                                   .toUtf8()))
      << all.out.constData();
  EXPECT_TRUE(all.out.endsWith("AccurateRip: 2 of 3 tracks accurate\n")) << all.out.constData();
  const test::ToolResult first = Verify(Outputs(S("out"), "wav").mid(0, 1));
  EXPECT_EQ(first.exitCode, 0) << first.out.constData();
  EXPECT_TRUE(first.out.endsWith("AccurateRip: 1 of 1 tracks accurate\n")) << first.out.constData();
}

// Not in the database, a database that cannot be reached, an answer cut off inside a record,
// some tracks only, and the look-up and the log turned off: the rip succeeds all the same.
TEST_F(VerifiedRipTest, WhatTheDatabaseSaysOrThatItWasNotAsked) {
  MakeDisc();
  const quint16 dead = test::ClosedLoopbackPort();
  const QByteArray whole = answer_;
  const struct {
    const char* name;
    int status;
    bool deadPort;
    QStringList options;
    const char* verdict;  // null: no look-up
    const char* summary;
  } cases[] = {{"missing", 404, false, {}, "Not in database", "not found"},
               {"dead", 200, true, {}, "Database unreachable", "unreachable"},
               {"cut", 200, false, {}, "Not in database", "discarded"},
               {"other", 200, false, {S("--tracks"), S("1")}, nullptr, nullptr},
               {"off", 200, false, {S("--no-verify"), S("--no-log")}, nullptr, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    status_ = c.status;
    answer_ = c.name == std::string("cut") ? whole.chopped(1) : whole;
    PointAt(c.deadPort ? dead : server_.Port());
    const size_t asked = server_.Requests().size();
    const test::ToolResult rip = Rip(S(c.name), c.options + QStringList{S("--format"), S("flac"), S("--json")});
    ASSERT_EQ(rip.exitCode, 0) << rip.err.constData();
    const std::vector<QJsonObject> lines = JsonLines(rip.out);
    if (c.verdict != nullptr) {
      ExpectReport(lines, QStringList(3, S(c.verdict)), c.summary);
    } else if (c.options.contains(S("--tracks"))) {
      // Track 1 alone looked up in an answer that knows it.
      ASSERT_EQ(lines.size(), 2u);
      EXPECT_EQ(lines[0][S("accuraterip")].toString(), kAllAccurate[0]);
      EXPECT_EQ(lines[1][S("accuraterip")].toObject()[S("tracks")].toInt(), 1);
    } else {
      ASSERT_EQ(lines.size(), 4u);
      EXPECT_EQ(lines[2][S("crc32")].toString(), Hex(sums_[2].crc)) << "the checksums all the same";
      EXPECT_FALSE(lines[2].contains(S("accuraterip")));
      EXPECT_FALSE(lines[3].contains(S("accuraterip")));
      EXPECT_FALSE(lines[3].contains(S("log")));
      EXPECT_EQ(QDir(Path(S(c.name))).entryList(QDir::Files).size(), 3) << "no log";
      EXPECT_EQ(server_.Requests().size(), asked) << "no look-up";
    }
  }
  // Human lines: the checksums and verdict of each track, then the database's summary, which,
  // like the log's, says the tracks were not checked when the disc's entry was not there to see.
  status_ = 404;
  for (const bool deadPort : {false, true}) {
    SCOPED_TRACE(deadPort);
    PointAt(deadPort ? dead : server_.Port());
    const QString folder = S("human%1").arg(deadPort);
    const test::ToolResult human = Rip(folder, {S("--format"), S("flac"), S("--tracks"), S("3")});
    ASSERT_EQ(human.exitCode, 0) << human.err.constData();
    const QString notChecked = deadPort ? S("AccurateRip: not checked, database unreachable")
                                        : S("AccurateRip: not checked, disc not in the database");
    const char* verdict = deadPort ? "Database unreachable" : "Not in database";
    EXPECT_TRUE(human.out.contains(("track 03  CRC32 " + Hex(sums_[2].crc) + "  v1 " + Hex(sums_[2].v1) + "  v2 " +
                                    Hex(sums_[2].v2) + "  " + verdict + "\n" + notChecked + "\n")
                                       .toUtf8()))
        << human.out.constData();
    const QString log = Path(folder + S("/Album.log"));
    EXPECT_TRUE(human.out.contains(("Rip log: " + log).toUtf8())) << human.out.constData();
    EXPECT_TRUE(QString::fromUtf8(test::ReadAll(log)).contains(notChecked));
  }
}

// A drive that delivers its audio 6 samples late, corrected by --read-offset 6 in every way of
// reading, gives the disc's own audio; read without the offset (an image's default) it does not
// match.
TEST_F(VerifiedRipTest, TheReadOffsetUndoesTheDrivesShift) {
  MakeDisc(6);
  // The CD stream, the track reader, and the grabber's own grab (grab mode 4 writing WAV).
  for (const char* reader : {"1", "3", "4"}) {
    SCOPED_TRACE(reader);
    const QString format = S(reader) == S("4") ? S("wav") : S("flac");
    const test::ToolResult rip = Rip(S("offset") + S(reader), {S("--format"), format, S("--json"), S("--read-offset"),
                                                               S("6"), S("--grab-mode"), S(reader)});
    ASSERT_EQ(rip.exitCode, 0) << rip.err.constData();
    ExpectReport(JsonLines(rip.out), kAllAccurate, "found");
  }
  const test::ToolResult plain = Rip(S("plain"), {S("--format"), S("flac"), S("--json")});
  ASSERT_EQ(plain.exitCode, 0) << plain.err.constData();
  for (const QJsonObject& track : JsonLines(plain.out)) {
    if (track.contains(S("track"))) {
      EXPECT_EQ(track[S("accuraterip")].toString(), S("Not accurate"));
    }
  }
}

// Files that are not 44.1 kHz stereo 16-bit WAV or FLAC, more files than audio tracks, a bad
// offset: usage errors (2) before anything is looked up.
TEST_F(VerifiedRipTest, VerifyAndRipRefuseBadInput) {
  MakeDisc();
  const QString good = Path(S("good.wav"));
  test::MakeTone(good, 0.2, 44100, 2);
  const QString rate = Path(S("rate.wav"));
  test::MakeTone(rate, 0.2, 48000, 2);
  const QString mono = Path(S("mono.flac"));
  test::MakeTone(mono, 0.2, 44100, 1);
  const QString deep = Path(S("deep.wav"));
  test::MakeTone(deep, 0.2, 44100, 2, {S("-c:a"), S("pcm_s24le")});
  const QString text = Path(S("notes.wav"));
  ASSERT_TRUE(test::WriteAll(text, "not audio at all"));
  const QList<QStringList> refused = {
      {S("verify"), S("--device"), disc_.cue, good, rate},
      {S("verify"), S("--device"), disc_.cue, mono},
      {S("verify"), S("--device"), disc_.cue, deep},
      {S("verify"), S("--device"), disc_.cue, text},
      {S("verify"), S("--device"), disc_.cue, Path(S("missing.wav"))},
      {S("verify"), S("--device"), disc_.cue, good, good, good, good},
      {S("verify"), S("--device"), Path(S("nothing.cue")), good},
      {S("verify"), good},
      {S("rip"), S("--device"), disc_.cue, S("--output"), Path(S("o")), S("--read-offset"), S("3001")}};
  for (const QStringList& arguments : refused) {
    SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
    const test::ToolResult run = Run(arguments);
    EXPECT_EQ(run.exitCode, 2) << run.out.constData() << run.err.constData();
    EXPECT_FALSE(run.err.isEmpty());
  }
  EXPECT_TRUE(server_.Requests().empty());
  const test::ToolResult short_ = Run({S("verify"), S("--device"), disc_.cue, good});
  EXPECT_EQ(short_.exitCode, 1) << "a file that is not the track is not accurate";
  EXPECT_TRUE(short_.out.endsWith("AccurateRip: 0 of 1 tracks accurate\n")) << short_.out.constData();
}

}  // namespace
}  // namespace corvane
