// The window's rip over a generated cue/bin disc image, as the page shows it: the checked rows, the
// labels and statuses, the tags of the formats, the overwrite question, the stop question, the
// failure messages and the completion window. What is ripped and how is the rip session's, tested
// on its own.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <tuple>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/CAudioCDGrabberEvents.h"
#include "components/IAudioCDGrabber.h"
#include "engine/CAudioEngine.h"
#include "presets/COutputQualityMgmt.h"
#include "ripper/DiscVerification.h"
#include "ripper/RipRun.h"
#include "ripper/RipperTestKit.h"
#include "support/AccurateRipAnswerBuilder.h"
#include "support/AccurateRipReference.h"
#include "support/DiscImageFixture.h"
#include "support/ExternalTools.h"
#include "support/LoopbackHttpServer.h"
#include "support/QtPrinters.h"
#include "support/ScriptedUserInterface.h"
#include "support/SourceFixtures.h"

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
        if (pressed || percent <= 0 || run_ == nullptr || view_.labels.isEmpty() ||
            !view_.labels.back().startsWith(label))
          return;
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

  // Counts the ends of the grabber's grabs, as the run sees them.
  struct Forward final : IAudioCDGrabberEventHandler {
    RipRunTest& test;
    explicit Forward(RipRunTest& owner) : test(owner) {}
    void OnDiscChanged() override {}
    void OnGrabProgress(double percent) override {
      if (percent >= 100) ++test.grab_ends_;
    }
    void OnReadRetries(int) override {}
    void OnFreedbState(int) override {}
  } forward_{*this};
  CAudioCDGrabberEvents events_{forward_};
  int grab_ends_ = 0;
};

TEST_F(RipRunTest, UncheckedRowsAreSkippedTheLabelCountsTheCheckedOnesAndEveryFormatGetsTheTags) {
  view_.checked = {true, false, true, false, true};
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(QDir(out_).entryList(QDir::Files), QStringList({"01.wav", "03.wav", "05.wav"}));
  EXPECT_EQ(Statuses(), QStringList({Word(text::kRipCompleted), Word(text::kRipSkipped), Word(text::kRipCompleted),
                                     Word(text::kRipSkipped), Word(text::kRipCompleted)}));
  EXPECT_EQ(view_.labels.filter(Word(text::kRipGrabbing)),
            QStringList({"Grabbing # 01/03 - ", "Grabbing # 02/03 - Who?", "Grabbing # 03/03 - "}));
  EXPECT_EQ(view_.labels.back(), Word(text::kRipIdle));
  EXPECT_EQ(view_.rip_button, Word(text::kRipStartButton));
  EXPECT_TRUE(view_.rip_controls_enabled);

  // Formats the conversion component does not write get the disc's tags too, read back by ffprobe.
  view_.checked = {false, false, true, false, false};
  for (const auto& [format, file, year] :
       {std::tuple{FormatCode::Flac, "03.flac", "date"}, std::tuple{FormatCode::Ape, "03.ape", "year"},
        std::tuple{FormatCode::Musepack, "03.mpc", "year"}}) {
    SCOPED_TRACE(file);
    settings_.format = format;
    Rip(QStringLiteral("%N"));
    const QString path = Out(QString::fromLatin1(file));
    EXPECT_EQ(ProbeTag(path, QStringLiteral("artist")), QStringLiteral("AC/DC"));
    EXPECT_EQ(ProbeTag(path, QStringLiteral("album")), QStringLiteral("Live: 1992"));
    EXPECT_EQ(ProbeTag(path, QStringLiteral("title")), QStringLiteral("Who?"));
    EXPECT_EQ(ProbeTag(path, QStringLiteral("track")), QStringLiteral("3"));
    EXPECT_EQ(ProbeTag(path, QString::fromLatin1(year)), QStringLiteral("1992"));
    EXPECT_EQ(ProbeTag(path, QStringLiteral("genre")), QStringLiteral("Rock"));
  }
}

TEST_F(RipRunTest, TheOverwriteQuestionKeepsItsDontAskAgainAndAFolderThatCannotBeMadeEndsTheRun) {
  // Track 2's file exists: Skip with "don't ask again" keeps it and stops the questions.
  const QString kept = Out(QStringLiteral("02.wav"));
  ASSERT_TRUE(WriteAll(kept, "keep me"));
  view_.checked = {false, true, false, false, false};
  ui_.overwrite_replies.push_back({OverwriteReply::Choice::Skip, false, {}, true});
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(ReadAll(kept), QByteArray("keep me"));
  EXPECT_EQ(Statuses()[1], Word(text::kRipSkipped));
  EXPECT_EQ(ui_.overwrite_messages, QStringList({StringTable::Format(text::kRipAlreadyExists, {kept})}));
  EXPECT_EQ(store_.ReadNumber(kRip, keys::kConfirmOverwrite, 1), 0);

  // The folder part names a file: the user is told, and every row from there on is cancelled.
  view_.checked = {false, true, true, false, true};
  Rip(QStringLiteral("02.wav\\%N"));
  EXPECT_EQ(Messages(), QStringList({StringTable::Format(text::kRipFolderFailed, {kept})}));
  EXPECT_EQ(Statuses().mid(1), QStringList(4, Word(text::kRipCancelled)));
}

// The completion window says "successfully" only of a rip of every track; any other run is told
// with its counts.
TEST_F(RipRunTest, StoppingAndFailuresLeaveNoPartialFilesAndTheCompletionWindowSaysSo) {
  store_.WriteNumber(kRip, keys::kShowSuccess, 1);
  // Stop with No goes on; Stop this cancels the track; Stop All cancels the rest.
  ui_.stop_answers = {StopAnswer::Continue};
  Rip(QStringLiteral("%N"), 1);
  EXPECT_EQ(Statuses()[0], Word(text::kRipCompleted));
  EXPECT_EQ(ui_.stop_questions, QStringList({Word(text::kAskStopRipping)}));
  const QString all = out_;

  for (const char* name : {"03.wav", "04.wav", "05.wav"}) ASSERT_TRUE(QFile::remove(Out(name)));
  const QString existing = Out(QStringLiteral("02.wav"));
  ASSERT_TRUE(WriteAll(existing, "older rip"));
  store_.WriteNumber(kRip, keys::kConfirmOverwrite, 0);
  ui_.stop_answers = {StopAnswer::StopAll};
  Rip(QStringLiteral("%N"), 2);
  EXPECT_EQ(Statuses(), QStringList({Word(text::kRipCompleted), Word(text::kRipCancelled), Word(text::kRipCancelled),
                                     Word(text::kRipCancelled), Word(text::kRipCancelled)}));
  EXPECT_EQ(ReadAll(existing), QByteArray("older rip"));  // replaced only by a complete rip
  EXPECT_EQ(QDir(out_).entryList(QDir::Files | QDir::Hidden), QStringList({"01.wav", "02.wav"}));

  // An output folder that is a file: 122 and Failed, without "Failed to rip track".
  ui_.messages.clear();
  view_.checked = {true, false, false, false, false};
  out_ = Out(QStringLiteral("01.wav"));
  Rip(QStringLiteral("x"));
  EXPECT_EQ(Statuses()[0], Word(text::kRipFailed));
  EXPECT_EQ(Messages(), QStringList({StringTable::Format(text::kRipUnableToCreate, {Out("x.wav")})}));

  EXPECT_EQ(ui_.completion_headings,
            QStringList({"Convert completed successfully!", "Not every track was ripped!", "No track was ripped!"}));
  EXPECT_EQ(ui_.completion_summaries,
            QStringList({"Grab CD tracks successfully to folder: " + all + " !",
                         "1 files converted (success 1, failure 0), saved to '" + all + "'\n\n4 files cancelled.",
                         "1 files converted (success 0, failure 1), saved to '" + out_ +
                             "'\n\n===== File list of failed conversion =====\ntrack 01"}));
  EXPECT_EQ(ui_.completion_failed_counts, std::vector<int>({0, 0, 1}));
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

TEST_F(RipRunTest, AStopAnsweredAfterItsGrabEndedStillCancelsIt) {
  UseGrabberOnImage();
  settings_.format = FormatCode::Mp3;
  QStringList done(5, Word(text::kRipCompleted));

  // Stop All is pressed during track 3's grab and answered only once that grab has ended: the
  // track is cancelled all the same, its file gone, and the run ends there.
  bool pressed = false;
  int endsBefore = 0;
  const QString third = StringTable::Format(text::kRipTrackLabel, {Word(text::kRipGrabbing), 3, 5, QString()});
  ui_.job_progress_hook = [&](int percent) {
    if (percent <= 0 || percent >= 100 || run_ == nullptr || pressed || !view_.labels.back().startsWith(third)) return;
    pressed = true;
    endsBefore = grab_ends_;
    run_->RequestStop();
  };
  ui_.stop_question_hook = [&] { ASSERT_TRUE(WaitUntil([&] { return grab_ends_ > endsBefore; })); };
  ui_.stop_answers = {StopAnswer::StopAll};
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(Statuses(), done.mid(0, 2) + QStringList(3, Word(text::kRipCancelled)));
  EXPECT_EQ(QDir(out_).entryList(QDir::Files | QDir::Hidden), QStringList({"01.mp3", "02.mp3"}));

  // Stop pressed between two grabs is asked about before the next one starts.
  for (const char* name : {"01.mp3", "02.mp3"}) ASSERT_TRUE(QFile::remove(Out(name)));
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

class RipRunCutImageTest : public RipRunTest, public ::testing::WithParamInterface<int> {};

// The image's data file is cut short after the disc was loaded, 30 sectors into track 5: its 50
// sectors beyond are counted in every grab mode, shown on the row and in the log, and fail the
// track under "stop".
TEST_P(RipRunCutImageTest, SectorsTheImageNoLongerHoldsAreCountedAndFailTheTrackUnderStop) {
  UseGrabberOnImage();
  store_.WriteNumber(kRip, keys::kGrabModePreset, GetParam());
  store_.WriteNumber(kRip, keys::kGrabErrorAction, 1);
  store_.WriteNumber(kRip, keys::kRipLog, 1);
  settings_.format = FormatCode::Flac;
  QFile bin(image_.bin);
  ASSERT_TRUE(bin.resize(static_cast<qint64>(image_.lsns[4] + 30) * DiscImageFixture::kSectorBytes));
  view_.checked = {false, false, false, false, true};
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(Statuses()[4], Word(text::kRipCompleted));
  EXPECT_EQ(view_.details[4], Word(text::kRipReadError) + QStringLiteral("\nRead errors: 50"));
  const QStringList logs = QDir(out_).entryList({QStringLiteral("*.log")});
  ASSERT_EQ(logs.size(), 1);
  EXPECT_TRUE(
      QString::fromUtf8(ReadAll(QDir(out_).filePath(logs[0]))).contains(QRegularExpression("Read errors\\W+50")));
  const QByteArray audio = DecodeWithFfmpeg(Out(QStringLiteral("05.flac")));
  ASSERT_EQ(audio.size(), image_.tracks[4].size());
  EXPECT_EQ(audio.mid(30 * DiscImageFixture::kSectorBytes).count('\0'), 50 * DiscImageFixture::kSectorBytes);

  ASSERT_TRUE(QFile::remove(Out(QStringLiteral("05.flac"))));
  store_.WriteNumber(kRip, keys::kGrabErrorAction, 0);
  Rip(QStringLiteral("%N"));
  EXPECT_EQ(Statuses()[4], Word(text::kRipFailed));
  EXPECT_FALSE(QFile::exists(Out(QStringLiteral("05.flac"))));
}

INSTANTIATE_TEST_SUITE_P(GrabModes, RipRunCutImageTest, ::testing::Values(1, 4));

// The database's word goes under the completion window's summary, and each row's verdict and
// checksums into its status detail.
TEST_F(RipRunTest, VerdictsReachTheCompletionWindowAndTheRows) {
  // The database knows every track as the image holds it, except track 2.
  const std::optional<DiscVerification> disc = DiscVerification::Read(image_.cue);
  ASSERT_TRUE(disc);
  const test::ImageAnswer answer = test::AnswerForImage(disc->Id(), image_.tracks, 1);
  const std::vector<test::ReferenceSums>& sums = answer.sums;
  test::LoopbackHttpServer server([&](const test::HttpRequest& request) {
    return request.Path().startsWith("/ar/") ? test::HttpAnswer::Text(answer.body) : test::HttpAnswer::Text("no", 404);
  });
  ASSERT_NE(server.Port(), 0);
  store_.WriteText(kRip, keys::kAccurateRipUrl, QStringLiteral("http://127.0.0.1:%1/ar/").arg(server.Port()));
  store_.WriteNumber(kRip, keys::kVerifyAccurateRip, 1);
  store_.WriteNumber(kRip, keys::kShowSuccess, 1);
  Rip(QStringLiteral("%N"));
  ASSERT_EQ(ui_.completion_summaries.size(), 1);
  EXPECT_EQ(ui_.completion_summaries[0],
            StringTable::Format(text::kRipSucceeded, {out_}) + QLatin1Char('\n') + AccurateRipSummaryText(4, 5));
  ASSERT_EQ(view_.details.size(), 5u);
  const auto hex = [](quint32 value) { return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper(); };
  for (size_t i = 0; i < 5; ++i) {
    const AccurateRipVerdict verdict{
        i == 1 ? AccurateRipVerdict::Kind::NotAccurate : AccurateRipVerdict::Kind::Accurate, 7};
    EXPECT_EQ(view_.details[int(i)], AccurateRipVerdictText(verdict) + "\nCRC32: " + hex(sums[i].crc) +
                                         "\nAccurateRip v1: " + hex(sums[i].v1) +
                                         "\nAccurateRip v2: " + hex(sums[i].v2));
  }

  // A disc the database does not hold, and a database that cannot be reached: nothing was checked.
  const quint16 closed = test::ClosedLoopbackPort();
  const struct {
    QString url;
    int summary;
  } unchecked[] = {
      {QStringLiteral("http://127.0.0.1:%1/none/").arg(server.Port()), text::kAccurateRipNotCheckedNotFound},
      {QStringLiteral("http://127.0.0.1:%1/ar/").arg(closed), text::kAccurateRipNotCheckedUnreachable}};
  for (const auto& c : unchecked) {
    store_.WriteText(kRip, keys::kAccurateRipUrl, c.url);
    out_ = dir_.filePath(QStringLiteral("out%1").arg(c.summary));
    ASSERT_TRUE(QDir().mkpath(out_));
    Rip(QStringLiteral("%N"));
    EXPECT_EQ(ui_.completion_summaries.back(),
              StringTable::Format(text::kRipSucceeded, {out_}) + QLatin1Char('\n') + Word(c.summary));
  }
}

}  // namespace
}  // namespace corvane::test
