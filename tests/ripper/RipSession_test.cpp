// The rip session, which both front ends run, over generated disc images: every way of reading
// gives each track's audio and checksums, tags in every format, outputs already there and names
// taken twice, failures and stops that leave nothing behind, and the database's verdicts in the log.
#include "ripper/RipSession.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "common/ForwardingUserInterface.h"
#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"
#include "encoding/Mp3EncoderConfig.h"
#include "engine/CAudioEngine.h"
#include "support/AccurateRipAnswerBuilder.h"
#include "support/AccurateRipReference.h"
#include "support/DiscImageFixture.h"
#include "support/ExternalTools.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScriptedUserInterface.h"

namespace corvane {
namespace {

// An encoder's seam: its progress, reported on a worker thread beside the others, is not recorded.
class EncoderInterface final : public ForwardingUserInterface {
 public:
  using ForwardingUserInterface::ForwardingUserInterface;
  void SetJobProgress(int) override {}
};

// Hands the session the scripted seam and records the order it starts and ends the tracks in.
class RecordingObserver final : public IRipObserver {
 public:
  test::ScriptedUserInterface ui;
  std::vector<int> started, ended;
  // Called as a track's reading (slot 0) or encoding (slot 1..) begins, on the thread that does it.
  std::function<void(int slot)> work_begins;

  std::unique_ptr<IUserInterface> Interface(int slot, const QString& name) override {
    if (work_begins && !name.isEmpty()) work_begins(slot);
    if (slot > 0) return std::make_unique<EncoderInterface>(ui);
    return std::make_unique<ForwardingUserInterface>(ui);
  }
  void Message(const QString& text) override { ui.ShowMessage(text, MessageIcon::Error, MessageButtons::Ok); }
  void TrackStarting(const RipSessionTrack& track, int, int) override { started.push_back(track.number); }
  void TrackEnded(const RipSessionTrack& track, int, int) override { ended.push_back(track.number); }
  void Verified(const std::vector<RipSessionTrack>&, const std::optional<AccurateRipCheckResult>&) override {}
};

class RipSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(engine_.BindAll().Succeeded());
    ASSERT_TRUE(mp3_.PrepareMp3Encoder(observer_.ui));
    UseDisc(fixture_.Build(QStringLiteral("disc"), plan_));
  }

  // The grabber's current drive is `disc`, and the session's device.
  void UseDisc(test::DiscImage disc) {
    disc_ = std::move(disc);
    grabber_ = CreateAudioCDGrabber();
    grabber_->SetDiscImages({disc_.cue});
    ASSERT_TRUE(grabber_->InitDevices().Succeeded());
    ASSERT_TRUE(grabber_->SetCurrentDrive(grabber_->GetDriveCount()).Succeeded());
    ASSERT_TRUE(grabber_->RefreshDisc().Succeeded());
  }

  RipSessionOptions Options(FormatCode format, GrabMode mode = GrabMode::Precision,
                            ErrorAction action = ErrorAction::InsertSilence) const {
    RipSessionOptions options;
    options.device = disc_.cue;
    options.output_folder = Out(QString());
    options.pattern = SplitRipPattern(QStringLiteral("%N"));
    options.settings = {.format = format, .sample_rate = 44100, .bitrate = 128, .channels = 2};
    RipperSettingsValues values;
    values.grab_mode = mode;
    values.error_action = action;
    values.enable_id3v2 = true;
    options.TakeReading(values, 0);
    options.verify = options.log = false;
    return options;
  }

  // Rips `rows` (every row when empty); the session stays for the test to look at.
  const std::vector<RipSessionTrack>& Rip(const RipSessionOptions& options, std::vector<int> rows = {}) {
    if (rows.empty()) {
      for (int row = 0; row < static_cast<int>(disc_.tracks.size()); ++row) rows.push_back(row);
    }
    EXPECT_TRUE(QDir().mkpath(options.output_folder));
    const DiscMetadata metadata{QStringLiteral("AC/DC"), QStringLiteral("Live: 1992"), {}, 0, {"Intro", "", "Who?"}};
    session_ = std::make_unique<RipSession>(*grabber_, store_, mp3_, options, metadata, rows, observer_);
    EXPECT_TRUE(session_->SetUp()) << observer_.ui.MessageTexts().join(QLatin1Char('\n')).toStdString();
    session_->Rip();
    session_->Verify();
    log_ = session_->WriteLog();
    return session_->Tracks();
  }

  QString Out(const QString& name) const { return dir_.filePath(QStringLiteral("out/") + name); }
  QStringList OutputFolder() const { return QDir(Out(QString())).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

  QTemporaryDir dir_;
  test::DiscImageFixture fixture_{dir_.filePath(QStringLiteral("images"))};
  test::DiscPlan plan_{{{.sectors = 75 + 13}, {.sectors = 60}, {.sectors = 75 + 1}}, {}, {}};
  test::DiscImage disc_;
  CAudioEngine engine_;
  MemorySettings store_{dir_.filePath(QStringLiteral("settings"))};
  Mp3EncoderConfig mp3_{store_};
  std::unique_ptr<IAudioCDGrabber> grabber_;
  RecordingObserver observer_;
  std::unique_ptr<RipSession> session_;
  QString log_;
};

struct ReadingCase {
  const char* name;
  FormatCode format;
  GrabMode mode;
  ErrorAction action;
  int jobs;   // 0: read and encoded in turn
  int album;  // 0: a .bin image; 1: a WAVE album file, 2: a FLAC one, each ending inside a sector
};

class RipSessionReadingTest : public RipSessionTest, public ::testing::WithParamInterface<ReadingCase> {};

// The engine's CD stream, the track spool of an overlapped run, the grabber's track reader (careful
// modes, and the discard action), the grabber's own grab, and album images: each track's audio and
// the checksums of it, the tracks reported in their order, no temporary file left.
TEST_P(RipSessionReadingTest, EveryWayOfReadingGivesEachTracksAudioAndChecksums) {
  const ReadingCase& c = GetParam();
  if (c.album > 0) {
    using Form = test::DiscImageFixture::AlbumFile;
    UseDisc(fixture_.BuildAlbum(QStringLiteral("album"), plan_, c.album == 1 ? Form::Wave : Form::Flac, 100));
  }
  RipSessionOptions options = Options(c.format, c.mode, c.action);
  options.jobs = c.jobs;
  const std::vector<RipSessionTrack>& tracks = Rip(options);
  EXPECT_EQ(observer_.started, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(observer_.ended, observer_.started);
  const QString extension = catalogue::ExtensionOf(c.format);
  EXPECT_EQ(OutputFolder(), QStringList({"01" + extension, "02" + extension, "03" + extension}));
  for (size_t i = 0; i < tracks.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(tracks[i].done) << tracks[i].detail.toStdString();
    EXPECT_TRUE(test::DecodeWithFfmpeg(tracks[i].output) == disc_.tracks[i]);
    const test::ReferenceSums sums = test::ReferenceAccurateRip(disc_.tracks[i], i == 0, i == 2);
    const TrackChecksums got = tracks[i].Checksums();
    EXPECT_TRUE(got.complete);
    EXPECT_EQ((test::ReferenceSums{got.v1, got.v2, got.crc32}), sums);
    EXPECT_EQ(tracks[i].stats.given_up, 0);
  }
  EXPECT_EQ(test::ProbeTag(tracks[2].output, QStringLiteral("title")), QStringLiteral("Who?"));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, RipSessionReadingTest,
    ::testing::Values(
        ReadingCase{"StreamWav", FormatCode::Wav, GrabMode::Precision, ErrorAction::InsertSilence, 0, 0},
        ReadingCase{"SpoolFlac", FormatCode::Flac, GrabMode::Precision, ErrorAction::InsertSilence, 2, 0},
        ReadingCase{"ReaderFlac", FormatCode::Flac, GrabMode::VeryUsed, ErrorAction::InsertSilence, 0, 0},
        ReadingCase{"SpoolReaderFlac", FormatCode::Flac, GrabMode::VeryUsed, ErrorAction::InsertSilence, 1, 0},
        ReadingCase{"DiscardFlac", FormatCode::Flac, GrabMode::Precision, ErrorAction::Discard, 0, 0},
        ReadingCase{"GrabberWav", FormatCode::Wav, GrabMode::Unreadable, ErrorAction::InsertSilence, 1, 0},
        ReadingCase{"WaveAlbum", FormatCode::Flac, GrabMode::Precision, ErrorAction::InsertSilence, 0, 1},
        ReadingCase{"FlacAlbum", FormatCode::Wav, GrabMode::Precision, ErrorAction::InsertSilence, 2, 2}),
    [](const auto& param) { return std::string(param.param.name); });

// One encoder held at its first track until the session's thread waits: by then the drive has
// read one track ahead of it and no further, so a disc of any length has at most encoders + 1
// tracks spooled. Once let go, every track is ripped in its place.
TEST_F(RipSessionTest, TheReaderStaysOneTrackAheadOfTheEncoders) {
  UseDisc(fixture_.Build(QStringLiteral("five"), {std::vector<test::TrackPlan>(5, {.sectors = 40}), {}, {}}));
  std::mutex mutex;
  std::condition_variable letGo;
  bool released = false;
  int reads = 0;  // on the session's thread only
  int readsWhenWaiting = -1;
  observer_.work_begins = [&](int slot) {
    if (slot == 0) {
      ++reads;
      return;
    }
    // The session's thread serves posted calls only while it waits.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
          const std::lock_guard lock(mutex);
          if (readsWhenWaiting < 0) readsWhenWaiting = reads;
          released = true;
          letGo.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex);
    letGo.wait(lock, [&] { return released; });
  };
  RipSessionOptions options = Options(FormatCode::Flac);
  options.jobs = 1;
  const std::vector<RipSessionTrack>& tracks = Rip(options);
  EXPECT_EQ(readsWhenWaiting, 2);
  EXPECT_EQ(reads, 5);
  EXPECT_EQ(observer_.ended, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(OutputFolder(), QStringList({"01.flac", "02.flac", "03.flac", "04.flac", "05.flac"}));
  for (size_t i = 0; i < tracks.size(); ++i) EXPECT_TRUE(test::DecodeWithFfmpeg(tracks[i].output) == disc_.tracks[i]);
}

// MP3 at 48 kHz, read by the grabber's track reader and encoded here, MP3 and WMA at 44.1 kHz
// written by the grabber itself:
// each track's length, and its tags (MP3: ID3v2 before the audio and ID3v1 after it).
TEST_F(RipSessionTest, LossyOutputsHaveTheirLengthsAndTags) {
  const struct {
    FormatCode format;
    int rate;
    const char* codec;
  } cases[] = {{FormatCode::Mp3, 48000, "mp3"}, {FormatCode::Mp3, 44100, "mp3"}, {FormatCode::Wma, 44100, "wmav2"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.codec) + std::to_string(c.rate));
    RipSessionOptions options = Options(c.format, GrabMode::Unreadable);
    options.settings.sample_rate = c.rate;
    options.output_folder = Out(QString::number(c.rate) + QString::fromLatin1(c.codec));
    const RipSessionTrack& track = Rip(options, {2}).front();
    ASSERT_TRUE(track.done) << track.detail.toStdString();
    const QJsonObject probe = test::ProbeWithFfprobe(track.output);
    EXPECT_EQ(probe.value(QStringLiteral("codec_name")).toString(), QString::fromLatin1(c.codec));
    EXPECT_EQ(probe.value(QStringLiteral("sample_rate")).toInt(), c.rate);
    EXPECT_NEAR(probe.value(QStringLiteral("duration")).toDouble(), (75 + 1) / 75.0, 0.1);
    EXPECT_EQ(test::ProbeTag(track.output, QStringLiteral("title")), QStringLiteral("Who?"));
    EXPECT_EQ(test::ProbeTag(track.output, QStringLiteral("artist")), QStringLiteral("AC/DC"));
    EXPECT_EQ(test::ProbeTag(track.output, QStringLiteral("track")), QStringLiteral("3"));
    if (c.format != FormatCode::Mp3) continue;
    const QByteArray bytes = test::ReadAll(track.output);
    EXPECT_TRUE(bytes.startsWith("ID3"));
    EXPECT_TRUE(bytes.right(128).startsWith("TAGWho?"));
  }
}

// Track 2's file is there: Skip keeps it. A pattern without %N gives tracks 1 and 3 one name:
// without a confirmation the first writes it and the second is still asked (Overwrite under another
// name). "Don't ask again" reaches the front end and rules the names after it.
TEST_F(RipSessionTest, OutputsThereAndNamesTakenTwiceAreAskedAbout) {
  ASSERT_TRUE(QDir().mkpath(Out(QString())));
  ASSERT_TRUE(test::WriteAll(Out(QStringLiteral("02.wav")), "keep me"));
  observer_.ui.overwrite_replies.push_back({OverwriteReply::Choice::Skip, false, {}, true});
  RipSessionOptions options = Options(FormatCode::Wav);
  std::vector<bool> remembered;
  options.existing.remember = [&](bool dont_ask_again) { remembered.push_back(dont_ask_again); };
  const std::vector<RipSessionTrack>& kept = Rip(options, {1});
  EXPECT_EQ(kept[0].result, RipResult::Skipped);
  EXPECT_EQ(test::ReadAll(Out(QStringLiteral("02.wav"))), QByteArray("keep me"));
  EXPECT_EQ(remembered, std::vector<bool>{true});

  options.pattern = SplitRipPattern(QStringLiteral("same"));
  options.existing.confirm = false;
  observer_.ui.overwrite_replies = {{OverwriteReply::Choice::Overwrite, true, Out(QStringLiteral("other.wav")), false}};
  const std::vector<RipSessionTrack>& same = Rip(options, {0, 2});
  EXPECT_TRUE(same[0].done && same[1].done);
  EXPECT_TRUE(test::DecodeWithFfmpeg(Out(QStringLiteral("same.wav"))) == disc_.tracks[0]);
  EXPECT_TRUE(test::DecodeWithFfmpeg(Out(QStringLiteral("other.wav"))) == disc_.tracks[2]);
  EXPECT_EQ(observer_.ui.overwrite_messages.size(), 2);
}

// A FLAC album damaged inside its last track: with "stop" that track fails and the file already at
// its name stays; with "silence" it is whole, its lost sectors silent and counted in the log. A
// stop answered "this track" or "all", and a disc gone before the run, leave nothing behind.
TEST_F(RipSessionTest, FailuresAndStopsLeaveNothingBehind) {
  UseDisc(fixture_.BuildAlbum(QStringLiteral("damaged"), plan_, test::DiscImageFixture::AlbumFile::Flac));
  QFile flac(disc_.bin);
  ASSERT_TRUE(flac.open(QIODevice::ReadWrite) && flac.seek(flac.size() * 95 / 100));
  const qint64 damaged = flac.size() - flac.pos();
  ASSERT_EQ(flac.write(QByteArray(damaged, '\0')), damaged);
  flac.close();
  ASSERT_TRUE(QDir().mkpath(Out(QString())));
  ASSERT_TRUE(test::WriteAll(Out(QStringLiteral("03.wav")), "older"));
  RipSessionOptions options = Options(FormatCode::Wav, GrabMode::Precision, ErrorAction::Stop);
  options.read.retries = 0;
  options.existing.confirm = false;
  const std::vector<RipSessionTrack>& stopped = Rip(options, {1, 2});
  EXPECT_TRUE(stopped[0].done);
  EXPECT_EQ(stopped[1].result, RipResult::Failed);
  EXPECT_FALSE(stopped[1].detail.isEmpty());
  EXPECT_EQ(test::ReadAll(Out(QStringLiteral("03.wav"))), QByteArray("older"));
  EXPECT_EQ(OutputFolder(), QStringList({"02.wav", "03.wav"}));

  options = Options(FormatCode::Wav, GrabMode::Precision, ErrorAction::InsertSilence);
  options.read.retries = 0;
  options.log = true;
  options.output_folder = Out(QStringLiteral("silence"));
  const RipSessionTrack& patchy = Rip(options, {2}).front();
  ASSERT_TRUE(patchy.done);
  const int lost = patchy.stats.given_up;
  ASSERT_GT(lost, 0);
  ASSERT_LT(lost, 75);
  EXPECT_EQ(patchy.detail, StringTable::Text(text::kRipReadError));
  const QByteArray patched = test::DecodeWithFfmpeg(patchy.output);
  const qsizetype whole = static_cast<qsizetype>(75 + 1 - lost) * test::DiscImageFixture::kSectorBytes;
  ASSERT_EQ(patched.size(), disc_.tracks[2].size());
  EXPECT_TRUE(patched.left(whole) == disc_.tracks[2].left(whole));
  EXPECT_EQ(patched.mid(whole).count('\0'), patched.size() - whole);
  const QRegularExpression errors(QStringLiteral("Read errors\\W+(\\d+)"));
  EXPECT_EQ(errors.match(QString::fromUtf8(test::ReadAll(log_))).captured(1), QString::number(lost));

  // The request is taken back by the track that asked about it.
  RipStopRequest stop;
  options = Options(FormatCode::Wav);
  options.stop_request = &stop;
  for (const StopAnswer answer : {StopAnswer::StopThis, StopAnswer::StopAll}) {
    options.output_folder = Out(QStringLiteral("stop%1").arg(static_cast<int>(answer)));
    stop.pressed = true;
    observer_.ui.stop_answers = {answer};
    const std::vector<RipSessionTrack>& tracks = Rip(options, {0, 1});
    EXPECT_EQ(tracks[0].result, answer == StopAnswer::StopAll ? RipResult::StoppedAll : RipResult::StoppedThis);
    EXPECT_EQ(tracks[1].done, answer == StopAnswer::StopThis);
    EXPECT_EQ(QDir(options.output_folder).entryList(QDir::Files | QDir::Hidden),
              answer == StopAnswer::StopThis ? QStringList{"02.wav"} : QStringList());
  }

  // The image is gone: the engine finds no disc, and the grabber, asked in its place, fails too.
  ASSERT_TRUE(QFile::remove(disc_.bin) && QFile::remove(disc_.cue));
  for (const bool grab : {false, true}) {
    options.grab_without_disc = grab;
    options.output_folder = Out(QStringLiteral("gone%1").arg(grab));
    const RipSessionTrack& gone = Rip(options, {0}).front();
    EXPECT_EQ(gone.result, grab ? RipResult::Failed : RipResult::NoDisc);
    EXPECT_TRUE(gone.failed);
    EXPECT_TRUE(QDir(options.output_folder).isEmpty(QDir::Files | QDir::Hidden));
  }
}

// The database knows the tracks as the disc holds them, but for track 2: the verdicts, and a log
// beside the first track that holds the reading's settings, the disc's IDs and every track's file,
// checksums and verdict; asked nothing, the log says so.
TEST_F(RipSessionTest, TheVerdictsAndTheLog) {
  const std::optional<DiscVerification> disc = DiscVerification::Read(disc_.cue);
  ASSERT_TRUE(disc);
  const test::ImageAnswer answer = test::AnswerForImage(disc->Id(), disc_.tracks, 1);
  const std::vector<test::ReferenceSums>& sums = answer.sums;
  test::LoopbackHttpServer server([&](const test::HttpRequest& request) {
    return request.Path() == "/ar/" + disc->Id().UrlPath() ? test::HttpAnswer::Text(answer.body)
                                                           : test::HttpAnswer::Text("no", 404);
  });
  ASSERT_NE(server.Port(), 0);
  store_.WriteText(keys::section::kRip, keys::kAccurateRipUrl,
                   QStringLiteral("http://127.0.0.1:%1/ar/").arg(server.Port()));
  RipSessionOptions options = Options(FormatCode::Flac);
  options.verify = options.log = true;
  options.careful.retries = 3;
  const std::vector<RipSessionTrack>& tracks = Rip(options);
  ASSERT_TRUE(session_->Check());
  EXPECT_EQ(session_->Check()->SummaryText(), AccurateRipSummaryText(2, 3));
  EXPECT_EQ(log_, Out(QStringLiteral("Live_ 1992.log")));
  const QString log = QString::fromUtf8(test::ReadAll(log_));
  QStringList wanted = {QStringLiteral("Corvane " CORVANE_VERSION),
                        disc_.cue,
                        DiscIdName(disc->Id()),
                        QStringLiteral("%1").arg(disc->Id().cddb, 8, 16, QLatin1Char('0')),
                        QStringLiteral("FLAC"),
                        AccurateRipSummaryText(2, 3)};
  for (const char* label :
       {"Read offset \\(samples\\)", "Grab mode", "Retries\\W+3", "On read errors", "Most reads of one sector"})
    EXPECT_TRUE(log.contains(QRegularExpression(QString::fromLatin1(label)))) << label;
  for (size_t i = 0; i < 3; ++i) {
    const auto hex = [](quint32 value) { return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper(); };
    wanted << QStringLiteral("Track 0%1").arg(i + 1) << tracks[i].output << hex(sums[i].crc) << hex(sums[i].v1)
           << hex(sums[i].v2) << AccurateRipVerdictText(*tracks[i].verdict);
  }
  wanted << QStringLiteral("Intro") << QStringLiteral("Who?");
  for (const QString& text : wanted) EXPECT_TRUE(log.contains(text)) << qPrintable(text) << "\n" << qPrintable(log);
  EXPECT_EQ(tracks[1].verdict->kind, AccurateRipVerdict::Kind::NotAccurate);

  options.verify = false;
  options.output_folder = Out(QStringLiteral("unasked"));
  Rip(options, {0});
  EXPECT_FALSE(session_->Check());
  EXPECT_TRUE(QString::fromUtf8(test::ReadAll(log_)).contains(StringTable::Text(text::kRipNotChecked)));
}

}  // namespace
}  // namespace corvane
