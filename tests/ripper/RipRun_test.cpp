// The rip run over a generated cue/bin disc image: naming, bit-exact outputs, tags, the checked
// rows, the overwrite prompt, stopping, and files that cannot be written.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QTemporaryDir>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/CAudioCDGrabberEvents.h"
#include "components/IAudioCDGrabber.h"
#include "engine/CAudioEngine.h"
#include "presets/COutputQualityMgmt.h"
#include "ripper/DiscVerification.h"
#include "ripper/RipOutputFields.h"
#include "ripper/RipRun.h"
#include "ripper/RipperTestKit.h"
#include "support/AccurateRipAnswerBuilder.h"
#include "support/AccurateRipReference.h"
#include "support/DiscImageFixture.h"
#include "support/ExternalTools.h"
#include "support/LoopbackHttpServer.h"
#include "support/QtPrinters.h"
#include "support/ScriptedUserInterface.h"

namespace corvane::test {
namespace {

const char* const kRip = keys::section::kRip;
constexpr int kSectors = 75;  // one second a track

QString Word(int id) { return StringTable::Text(id); }

class RipRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(engine_.BindAll().Succeeded());
    presets_.Load(QString(), ui_);
    DiscPlan plan{{}, QStringLiteral("Live: 1992"), QStringLiteral("AC/DC")};
    for (int track = 1; track <= 5; ++track) {
      plan.tracks.push_back({kSectors + track, false, track == 3 ? QStringLiteral("Who?") : QString(), {}, 0});
    }
    image_ = fixture_.Build(QStringLiteral("disc"), plan);
    for (int track = 1; track <= 5; ++track) {
      view_.rows.push_back({QString::number(track), plan.tracks[track - 1].title, {}, {}, {}});
    }
    out_ = dir_.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out_));
    store_.WriteNumber(kRip, keys::kShowSuccess, 0);
    store_.WriteNumber(kRip, keys::kVerifyAccurateRip, 0);
    store_.WriteNumber(kRip, keys::kRipLog, 0);
    grabber_ = CreateAudioCDGrabber();
    ASSERT_NE(grabber_->GetEncoder(), nullptr);
    grabber_->GetEncoder()->Prepare(1);
    settings_.format = FormatCode::Wav;
    settings_.sample_rate = 44100;
    settings_.channels = 2;
    settings_.bitrate = 128;
  }

  // Runs over the image with `pattern`; `stopAt` (a 1-based track) presses Stop as it is read.
  void Rip(const QString& pattern, int stopAt = 0) {
    RipRun run(view_, ui_, store_, grabber_.get(), presets_.Mp3Encoder());
    run_ = &run;
    if (stopAt > 0) {
      const QString label = StringTable::Format(text::kRipTrackLabel, {Word(text::kRipGrabbing), stopAt, 5, QString()});
      ui_.job_progress_hook = [this, label, pressed = false](int percent) mutable {
        if (pressed || percent <= 0 || run_ == nullptr || view_.labels.isEmpty() || !view_.labels.back().startsWith(label)) return;
        pressed = true;
        run_->RequestStop();
      };
    }
    RipRunStart start;
    start.device = image_.cue;
    start.output_folder_field = out_;
    start.output_name = pattern;
    start.settings = settings_;
    start.artist = QStringLiteral("AC/DC");
    start.album = QStringLiteral("Live: 1992");
    start.year = QStringLiteral("1992");
    start.genre_entry = 18;  // Rock
    run.Run(start);
    EXPECT_FALSE(run.Running());
    run_ = nullptr;
  }

  // Lists the image as the grabber's current drive, whose events reach the running rip.
  void UseGrabberOnImage() {
    grabber_->SetDiscImages({image_.cue});
    ASSERT_TRUE(grabber_->InitDevices().Succeeded());
    ASSERT_TRUE(grabber_->SetCurrentDrive(grabber_->GetDriveCount()).Succeeded());
    ASSERT_TRUE(grabber_->RefreshDisc().Succeeded());
    events_.Advise(*grabber_);
    store_.WriteNumber(kRip, keys::kGrabModePreset, 4);
  }

  // The PCM an output decodes to, through ffmpeg.
  static QByteArray Pcm(const QString& path) {
    return ToolOutput(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path, QStringLiteral("-f"),
                       QStringLiteral("s16le"), QStringLiteral("-")});
  }

  QStringList Statuses() const { return view_.Column(&TrackRowTexts::status); }
  QString Out(const QString& relative) const { return QDir(out_).filePath(relative); }
  QStringList Messages() const {
    QStringList texts;
    for (const auto& message : ui_.messages) texts << message.text;
    return texts;
  }

  QTemporaryDir dir_;
  DiscImageFixture fixture_{dir_.filePath(QStringLiteral("images"))};
  DiscImage image_;
  QString out_;
  CAudioEngine engine_;
  MemorySettings store_{dir_.filePath(QStringLiteral("settings"))};
  COutputQualityMgmt presets_{store_};
  ScriptedUserInterface ui_;
  RecordingRipperView view_;
  std::unique_ptr<IAudioCDGrabber> grabber_;
  EncodeSettings settings_;
  RipRun* run_ = nullptr;

  // Hands the grabber's progress and retry events to the run in progress.
  struct Forward final : IAudioCDGrabberEventHandler {
    RipRunTest& test;
    explicit Forward(RipRunTest& owner) : test(owner) {}
    void OnDiscChanged() override {}
    void OnGrabProgress(double percent) override {
      ++test.grab_events_;
      if (percent >= 100) ++test.grab_ends_;
    }
    void OnReadRetries(int) override {}
    void OnFreedbState(int) override {}
  } forward_{*this};
  CAudioCDGrabberEvents events_{forward_};
  int grab_events_ = 0;
  int grab_ends_ = 0;
};

TEST_F(RipRunTest, DefaultPatternToMp3NamesFoldersAndTagsEveryTrack) {
  settings_.format = FormatCode::Mp3;
  store_.WriteNumber(kRip, keys::kEnableId3v2, 1);
  Rip(Word(text::kDefaultOutputName));
  const QString folder = Out(QStringLiteral("AC_DC/Live_ 1992"));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
            QStringList({"Track01-.mp3", "Track02-.mp3", "Track03-Who_.mp3", "Track04-.mp3", "Track05-.mp3"}));
  const QJsonObject probe = ProbeWithFfprobe(QDir(folder).filePath(QStringLiteral("Track03-Who_.mp3")));
  const QJsonObject tags = probe.value(QStringLiteral("tags")).toObject();
  EXPECT_EQ(tags.value(QStringLiteral("title")).toString(), QStringLiteral("Who?"));
  EXPECT_EQ(tags.value(QStringLiteral("artist")).toString(), QStringLiteral("AC/DC"));
  EXPECT_EQ(tags.value(QStringLiteral("track")).toString(), QStringLiteral("3"));
  // Within the encoder's delay and padding of the track's length.
  EXPECT_NEAR(probe.value(QStringLiteral("duration")).toDouble(), (kSectors + 3) / 75.0, 0.08);
  // The ID3v1 tag at the end carries the title as well.
  QFile mp3(QDir(folder).filePath(QStringLiteral("Track03-Who_.mp3")));
  ASSERT_TRUE(mp3.open(QIODevice::ReadOnly));
  const QByteArray tail = mp3.readAll().right(128);
  EXPECT_TRUE(tail.startsWith("TAG")) << tail.left(3).toStdString();
  EXPECT_EQ(tail.mid(3, 4), QByteArray("Who?"));
  EXPECT_EQ(Statuses(), QStringList(5, Word(text::kRipCompleted)));
  EXPECT_EQ(view_.labels.back(), Word(text::kRipIdle));
  EXPECT_EQ(view_.rip_button, Word(text::kRipStartButton));
  EXPECT_TRUE(view_.rip_controls_enabled);
}

TEST_F(RipRunTest, LosslessOutputsHoldEachTracksPcmAndUncheckedRowsAreSkipped) {
  for (const FormatCode format : {FormatCode::Wav, FormatCode::Flac}) {
    SCOPED_TRACE(static_cast<int>(format));
    settings_.format = format;
    view_.checked = {true, false, true, false, true};
    view_.labels.clear();
    Rip(QStringLiteral("%N"));
    const QString extension = format == FormatCode::Wav ? QStringLiteral(".wav") : QStringLiteral(".flac");
    for (int track : {1, 3, 5}) {
      EXPECT_EQ(Pcm(Out(QStringLiteral("%1").arg(track, 2, 10, QLatin1Char('0')) + extension)),
                image_.tracks[track - 1])
          << track;
    }
    EXPECT_FALSE(QFileInfo::exists(Out(QStringLiteral("02") + extension)));
    // Tagged like every format that holds tags, FLAC (whose encoder writes them) included.
    const QJsonObject tags =
        ProbeWithFfprobe(Out(QStringLiteral("03") + extension)).value(QStringLiteral("tags")).toObject();
    QStringList titles;
    for (const QString& key : tags.keys()) {
      if (key.compare(QStringLiteral("title"), Qt::CaseInsensitive) == 0) titles << tags.value(key).toString();
    }
    EXPECT_EQ(titles, QStringList({QStringLiteral("Who?")}));
    EXPECT_EQ(Statuses(), QStringList({Word(text::kRipCompleted), Word(text::kRipSkipped), Word(text::kRipCompleted),
                                       Word(text::kRipSkipped), Word(text::kRipCompleted)}));
    // Ordinals count the checked rows only.
    QStringList grabbing = view_.labels.filter(Word(text::kRipGrabbing));
    EXPECT_EQ(grabbing, QStringList({"Grabbing # 01/03 - ", "Grabbing # 02/03 - Who?", "Grabbing # 03/03 - "}));
    store_.WriteNumber(kRip, keys::kConfirmOverwrite, 0);  // the second format's names differ anyway
  }
}

TEST_F(RipRunTest, ExistingAndCollidingOutputsAreAskedAbout) {
  // Track 2's file exists: Skip keeps it. Tracks 3..5 share one name with a pattern without %N:
  // the first writes it, the second is asked (Skip), the third is renamed.
  const QString kept = Out(QStringLiteral("02.wav"));
  ASSERT_TRUE(WriteAll(kept, "keep me"));
  view_.checked = {false, true, false, false, false};
  ui_.overwrite_replies.push_back({OverwriteReply::Choice::Skip, false, {}, false});
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(ReadAll(kept), QByteArray("keep me"));
  EXPECT_EQ(Statuses()[1], Word(text::kRipSkipped));
  EXPECT_EQ(ui_.overwrite_messages, QStringList({StringTable::Format(text::kRipAlreadyExists, {kept})}));

  view_.checked = {false, false, true, true, true};
  const QString same = Out(QStringLiteral("same.wav"));
  const QString other = Out(QStringLiteral("other.wav"));
  ui_.overwrite_replies.clear();
  ui_.overwrite_replies.push_back({OverwriteReply::Choice::Skip, false, {}, false});
  ui_.overwrite_replies.push_back({OverwriteReply::Choice::Overwrite, true, other, false});
  store_.WriteNumber(kRip, keys::kConfirmOverwrite, 0);  // even unconfirmed, a run never overwrites itself
  Rip(QStringLiteral("same"));
  EXPECT_EQ(Pcm(same), image_.tracks[2]);
  EXPECT_EQ(Pcm(other), image_.tracks[4]);
  EXPECT_EQ(Statuses().mid(2),
            QStringList({Word(text::kRipCompleted), Word(text::kRipSkipped), Word(text::kRipCompleted)}));
}

TEST_F(RipRunTest, StoppingAndFailuresLeaveNoPartialFiles) {
  // Stop with No goes on; Stop this cancels the track; Stop All cancels the rest.
  ui_.stop_answers = {StopAnswer::Continue};
  Rip(QStringLiteral("%N"), 1);
  EXPECT_EQ(Statuses()[0], Word(text::kRipCompleted));
  EXPECT_EQ(ui_.stop_questions, QStringList({Word(text::kAskStopRipping)}));

  for (const char* name : {"03.wav", "04.wav", "05.wav"}) ASSERT_TRUE(QFile::remove(Out(name)));
  const QString existing = Out(QStringLiteral("02.wav"));
  ASSERT_TRUE(WriteAll(existing, "older rip"));
  store_.WriteNumber(kRip, keys::kConfirmOverwrite, 0);
  ui_.stop_answers = {StopAnswer::StopAll};
  Rip(QStringLiteral("%N"), 2);
  EXPECT_EQ(Statuses(), QStringList({Word(text::kRipCompleted), Word(text::kRipCancelled), Word(text::kRipCancelled),
                                     Word(text::kRipCancelled), Word(text::kRipCancelled)}));
  EXPECT_EQ(ReadAll(existing), QByteArray("older rip"));  // replaced only by a complete rip
  EXPECT_FALSE(QFileInfo::exists(Out(QStringLiteral("03.wav"))));
  EXPECT_EQ(QDir(out_).entryList(QDir::Files | QDir::Hidden), QStringList({"01.wav", "02.wav"}));

  // An output folder that is a file: 122 and Failed, without "Failed to rip track".
  ui_.messages.clear();
  view_.checked = {true, false, false, false, false};
  out_ = Out(QStringLiteral("01.wav"));
  Rip(QStringLiteral("x"));
  EXPECT_EQ(Statuses()[0], Word(text::kRipFailed));
  EXPECT_EQ(Messages(), QStringList({StringTable::Format(text::kRipUnableToCreate, {Out("x.wav")})}));
}

TEST_F(RipRunTest, StartChecksAndAMissingDiscFallBackToTheGrabber) {
  view_.checked = {false, false, false, false, false};
  Rip(QStringLiteral("%N"));
  view_.rows.clear();
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(Messages(), QStringList({Word(text::kRipNoneChecked), Word(text::kRipNoTracks)}));
  EXPECT_TRUE(view_.labels.isEmpty());

  // The image is gone: the engine finds no disc, the grabber is asked and cannot start.
  view_.rows.push_back({QStringLiteral("1"), QStringLiteral("x"), {}, {}, {}});
  view_.checked.clear();
  ui_.messages.clear();
  ASSERT_TRUE(QFile::remove(image_.bin));
  ASSERT_TRUE(QFile::remove(image_.cue));
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(Messages(), QStringList({StringTable::Format(text::kRipTrackFailed, {1}) + QStringLiteral("\n\n") +
                                     Word(text::kRipGrabStartFailed)}));
  EXPECT_EQ(Statuses(), QStringList({Word(text::kRipFailed)}));
  EXPECT_EQ(QDir(out_).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(RipRunTest, GrabModeFourHandsCdRateOutputsToTheGrabber) {
  UseGrabberOnImage();
  view_.checked = {false, true, false, false, false};
  store_.WriteNumber(kRip, keys::kConfirmOverwrite, 0);
  struct Case {
    FormatCode format;
    int rate;
    const char* file;
    const char* codec;
    bool grabbed;
  };
  for (const Case& c :
       {Case{FormatCode::Mp3, 44100, "02.mp3", "mp3", true}, Case{FormatCode::Wma, 44100, "02.wma", "wmav2", true},
        Case{FormatCode::Mp3, 48000, "02.mp3", "mp3", false},
        Case{FormatCode::Flac, 44100, "02.flac", "flac", false}}) {
    SCOPED_TRACE(c.file + std::to_string(c.rate));
    settings_.format = c.format;
    settings_.sample_rate = c.rate;
    grab_events_ = 0;
    Rip(QStringLiteral("%N"));
    EXPECT_EQ(grab_events_ > 0, c.grabbed);
    const QJsonObject probe = ProbeWithFfprobe(Out(c.file));
    EXPECT_EQ(probe.value(QStringLiteral("codec_name")).toString(), QString::fromLatin1(c.codec));
    EXPECT_EQ(probe.value(QStringLiteral("sample_rate")).toInt(), c.rate);
    EXPECT_NEAR(probe.value(QStringLiteral("duration")).toDouble(), (kSectors + 2) / 75.0, 0.1);
    EXPECT_EQ(Statuses()[1], Word(text::kRipCompleted));
    EXPECT_EQ(Messages(), QStringList());
  }
}

TEST_F(RipRunTest, StoppingAComponentGrabAsksAndCancelsOnlyWhatTheUserChose) {
  // Stop is pressed as each track's first grab progress arrives: No, then Yes, then Stop All.
  UseGrabberOnImage();
  settings_.format = FormatCode::Mp3;
  ui_.stop_answers = {StopAnswer::Continue, StopAnswer::StopThis, StopAnswer::StopAll};
  QString stoppedOn;
  ui_.job_progress_hook = [&](int percent) {
    if (percent <= 0 || percent >= 100 || run_ == nullptr || view_.labels.back() == stoppedOn) return;
    stoppedOn = view_.labels.back();
    run_->RequestStop();
  };
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(ui_.stop_questions, QStringList(3, Word(text::kAskStopRipping)));
  EXPECT_EQ(Statuses(), QStringList({Word(text::kRipCompleted), Word(text::kRipCancelled), Word(text::kRipCancelled),
                                     Word(text::kRipCancelled), Word(text::kRipCancelled)}));
  EXPECT_NEAR(ProbeWithFfprobe(Out(QStringLiteral("01.mp3"))).value(QStringLiteral("duration")).toDouble(),
              (kSectors + 1) / 75.0, 0.1);
  EXPECT_EQ(QDir(out_).entryList(QDir::Files | QDir::Hidden), QStringList({"01.mp3"}));
  EXPECT_EQ(view_.rip_button, Word(text::kRipStartButton));
}

TEST_F(RipRunTest, AStopThatMissesItsGrabStillCounts) {
  UseGrabberOnImage();
  settings_.format = FormatCode::Mp3;
  QStringList done(5, Word(text::kRipCompleted));
  const QStringList cancelled(4, Word(text::kRipCancelled));

  // Stop All is answered after the grab it was pressed during has ended: that track stays, the
  // run ends there.
  bool pressed = false;
  ui_.job_progress_hook = [&](int percent) {
    if (percent <= 0 || percent >= 100 || run_ == nullptr || pressed) return;
    pressed = true;
    run_->RequestStop();
  };
  ui_.stop_question_hook = [&] { ASSERT_TRUE(WaitUntil([&] { return grab_ends_ > 0; })); };
  ui_.stop_answers = {StopAnswer::StopAll};
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(Statuses(), QStringList({Word(text::kRipCompleted)}) + cancelled);
  EXPECT_EQ(QDir(out_).entryList(QDir::Files | QDir::Hidden), QStringList({"01.mp3"}));

  // Stop pressed between two grabs is asked about before the next one starts.
  ASSERT_TRUE(QFile::remove(Out(QStringLiteral("01.mp3"))));
  ui_.stop_question_hook = nullptr;
  pressed = false;
  ui_.job_progress_hook = [&](int percent) {
    if (percent != 0 || run_ == nullptr || pressed || grab_ends_ == 0) return;
    pressed = true;
    run_->RequestStop();
  };
  ui_.stop_questions.clear();
  ui_.stop_answers = {StopAnswer::StopThis};
  grab_ends_ = 0;
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(ui_.stop_questions, QStringList({Word(text::kAskStopRipping)}));
  done[1] = Word(text::kRipCancelled);
  EXPECT_EQ(Statuses(), done);
}

TEST_F(RipRunTest, AnImageDamagedMidRunFailsItsTracksAndTheRunGoesOn) {
  UseGrabberOnImage();
  store_.WriteNumber(kRip, keys::kGrabErrorAction, 0);
  store_.WriteNumber(kRip, keys::kConfirmOverwrite, 0);
  const QString backup = image_.bin + QStringLiteral(".whole");
  ASSERT_TRUE(QFile::copy(image_.bin, backup));
  const QString secondLabel = StringTable::Format(text::kRipTrackLabel, {Word(text::kRipGrabbing), 2, 5, QString()});
  struct Case {
    FormatCode format;
    const char* extension;
    bool remove;  // else the image is cut ten sectors into track 3
  };
  // MP3 goes to the grabber, FLAC through the engine (and, with the image gone, to the grabber).
  for (const Case& c : {Case{FormatCode::Mp3, "mp3", true}, Case{FormatCode::Flac, "flac", true},
                        Case{FormatCode::Flac, "flac", false}}) {
    SCOPED_TRACE(std::string(c.extension) + (c.remove ? " removed" : " cut"));
    QFile::remove(image_.bin);
    ASSERT_TRUE(QFile::copy(backup, image_.bin));
    for (const QString& name : QDir(out_).entryList(QDir::Files | QDir::Hidden)) QFile::remove(Out(name));
    settings_.format = c.format;
    ui_.messages.clear();
    bool damaged = false;
    ui_.job_progress_hook = [&](int percent) {
      if (percent != 100 || damaged || view_.labels.isEmpty() || view_.labels.back() != secondLabel) return;
      damaged = true;
      QFile bin(image_.bin);
      ASSERT_TRUE(c.remove ? bin.remove() : bin.resize(qint64(image_.lsns[2] + 10) * 2352));
    };
    Rip(QStringLiteral("%N"));
    ASSERT_TRUE(damaged);
    EXPECT_EQ(Statuses(), QStringList({Word(text::kRipCompleted), Word(text::kRipCompleted), Word(text::kRipFailed),
                                       Word(text::kRipFailed), Word(text::kRipFailed)}));
    const QString ext = QString::fromLatin1(c.extension);
    EXPECT_EQ(QDir(out_).entryList(QDir::Files | QDir::Hidden), QStringList({"01." + ext, "02." + ext}));
    const QStringList messages = Messages();
    for (int track = 3; track <= 5; ++track) {
      const QString failed = StringTable::Format(text::kRipTrackFailed, {track});
      EXPECT_TRUE(std::any_of(messages.begin(), messages.end(), [&](const QString& m) { return m.startsWith(failed); }))
          << failed.toStdString() << " in " << messages.join(QStringLiteral(" | ")).toStdString();
    }
  }
}

TEST_F(RipRunTest, VerifiedRipsAreJudgedTrackByTrackAndLogged) {
  // The database knows every track as the image holds it, except track 2.
  const std::optional<DiscVerification> disc = DiscVerification::Read(image_.cue);
  ASSERT_TRUE(disc);
  std::vector<test::ReferenceSums> sums;
  std::vector<AccurateRipEntry> entries;
  for (int i = 0; i < 5; ++i) {
    sums.push_back(test::ReferenceAccurateRip(image_.tracks[size_t(i)], i == 0, i == 4));
    entries.push_back({7 + i, i == 1 ? sums.back().v1 ^ 1u : sums.back().v2, 0});
  }
  const QByteArray body = test::BuildAccurateRipAnswer(disc->Id(), {entries});
  test::LoopbackHttpServer server([&](const test::HttpRequest& request) {
    return request.Path() == "/ar/" + disc->Id().UrlPath() ? test::HttpAnswer::Text(body)
                                                           : test::HttpAnswer::Text("no", 404);
  });
  ASSERT_NE(server.Port(), 0);
  UseGrabberOnImage();
  store_.WriteNumber(kRip, keys::kVerifyAccurateRip, 1);
  store_.WriteNumber(kRip, keys::kRipLog, 1);
  store_.WriteNumber(kRip, keys::kShowSuccess, 1);
  store_.WriteNumber(kRip, keys::kConfirmOverwrite, 0);
  struct Case {
    FormatCode format;  // MP3 goes to the grabber, FLAC through the engine
    bool reachable;
  };
  for (const Case& c : {Case{FormatCode::Mp3, true}, Case{FormatCode::Flac, true}, Case{FormatCode::Flac, false}}) {
    SCOPED_TRACE(std::to_string(int(c.format)) + (c.reachable ? " served" : " dead port"));
    const quint16 port = c.reachable ? server.Port() : test::ClosedLoopbackPort();
    store_.WriteText(kRip, keys::kAccurateRipUrl, QStringLiteral("http://127.0.0.1:%1/ar/").arg(port));
    settings_.format = c.format;
    ui_.completion_summaries.clear();
    view_.details.clear();
    Rip(QStringLiteral("%N"));
    ASSERT_EQ(ui_.completion_summaries.size(), 1);
    EXPECT_TRUE(
        ui_.completion_summaries[0].endsWith(QLatin1Char('\n') + AccurateRipSummaryText(c.reachable ? 4 : 0, 5)))
        << ui_.completion_summaries[0].toStdString();

    const QStringList logs = QDir(out_).entryList({QStringLiteral("*.log")}, QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    const QString log = QString::fromUtf8(ReadAll(Out(logs[0])));
    ASSERT_TRUE(QFile::remove(Out(logs[0])));
    EXPECT_TRUE(log.contains(Out(c.format == FormatCode::Mp3 ? "05.mp3" : "05.flac"))) << log.toStdString();
    ASSERT_EQ(view_.details.size(), 5u);
    EXPECT_TRUE(log.contains(disc->Id().Name().chopped(4))) << log.toStdString();
    EXPECT_TRUE(log.contains(QFileInfo(image_.cue).absoluteFilePath())) << log.toStdString();
    for (int i = 0; i < 5; ++i) {
      for (const quint32 value : {sums[size_t(i)].crc, sums[size_t(i)].v1, sums[size_t(i)].v2})
        EXPECT_TRUE(log.contains(QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper())) << i;
      const AccurateRipVerdict verdict = !c.reachable ? AccurateRipVerdict{AccurateRipVerdict::Kind::Unreachable, 0}
                                         : i == 1     ? AccurateRipVerdict{AccurateRipVerdict::Kind::NotAccurate, 8}
                                                      : AccurateRipVerdict{AccurateRipVerdict::Kind::Accurate, 7 + i};
      EXPECT_TRUE(log.contains(AccurateRipVerdictText(verdict))) << i << log.toStdString();
      // The row's status detail says the same.
      EXPECT_TRUE(view_.details[i].startsWith(AccurateRipVerdictText(verdict) + QLatin1Char('\n'))) << i;
      EXPECT_TRUE(
          view_.details[i].contains(QStringLiteral("%1").arg(sums[size_t(i)].crc, 8, 16, QLatin1Char('0')).toUpper()));
    }
  }
}

}  // namespace
}  // namespace corvane::test
