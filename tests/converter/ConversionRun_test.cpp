// The conversion run over real rows, real decoders and the real encoders, with the user's
// answers scripted through the seam.
#include <sys/stat.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDirIterator>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "components/IConversionComponent.h"
#include "converter/ConversionRun.h"
#include "converter/FolderScan.h"
#include "converter/ListFixture.h"
#include "converter/ListRunRows.h"
#include "encoding/EncodeTrack.h"
#include "encoding/EncoderSetup.h"
#include "encoding/LoudnessNormalization.h"
#include "encoding/ReplayGain.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"
#include "presets/COutputQualityMgmt.h"
#include "support/ExternalTools.h"

namespace corvane {
namespace {

// The page as the run sees it: fixed options, recorded lines.
class RecordingView final : public IRunView {
 public:
  bool same_folder = false;
  bool keep_tags = true;
  bool normalize = false;
  int percent = 100;
  QStringList status_lines;
  QStringList detail_lines;
  std::vector<bool> running;
  QString output_field;
  int add_files_opened = 0;

  bool KeepTags() const override { return keep_tags; }
  bool NormalizeEnabled() const override { return normalize; }
  int NormalizeValue() const override { return percent; }
  void SetNormalizeValue(int value) override { percent = value; }
  void SetStatusLine(const QString& text) override { status_lines << text; }
  bool SameFolder() const override { return same_folder; }
  void SetDetailLine(const QString& text) override { detail_lines << text; }
  void SetRunning(bool on) override { running.push_back(on); }
  void SetOutputFolderField(const QString& folder) override { output_field = folder; }
  void OpenAddFiles() override { ++add_files_opened; }
};

QByteArray Digest(const QString& path) {
  return QCryptographicHash::hash(test::ReadAll(path), QCryptographicHash::Sha256);
}

class ConversionRunTest : public test::ListFixture {
 protected:
  void SetUp() override {
    test::ListFixture::SetUp();
    presets_.Load(QString(), ui_);
    settings_.format = FormatCode::Mp3;
    settings_.sample_rate = 44100;
    settings_.bitrate = 128;
  }

  RunServices Services() {
    RunServices services;
    services.encode = [this](const EncodeJob& job, IUserInterface& ui) {
      ++encodes_;
      if (stop_after_first_block_) {
        // The user presses Stop as the first file starts.
        job.stop_request->store(true);
      }
      return EncodeTrack(job, ui);
    };
    services.make_converter = [] { return CreateAudioConverter(); };
    services.setup_encoder = [this](IConversionComponent& converter) {
      return SetupEncoder(converter, settings_, presets_.Mp3Encoder(), capabilities_, ui_);
    };
    services.check_before_run = [] { return true; };
    services.scan_folder = [](const QString& folder, int type, bool sub, QStringList& found, const QString& skip,
                              QStringList* unreadable) {
      return ScanFolder(folder, type, sub, nullptr, found, skip, unreadable).value.value_or(0);
    };
    return services;
  }

  void RunInto(const QString& outputFolder) {
    ConversionRun run(rows_, view_, ui_, store_, Services());
    run.Run(outputFolder, settings_, QString());
    counts_ = run.Result();
  }

  QStringList Statuses() { return Column(list_, ListColumn::Status); }

  ConversionList list_{engine_, ui_, store_};
  ListRunRows rows_{list_};
  RecordingView view_;
  COutputQualityMgmt presets_{store_};
  EncoderCapabilities capabilities_;
  EncodeSettings settings_;
  ConversionRun::Counts counts_;
  int encodes_ = 0;
  bool stop_after_first_block_ = false;
};

TEST_F(ConversionRunTest, OutputNamesInTheSourcesFolder) {
  const QString song = Wav(QStringLiteral("music/song.wav"));
  ASSERT_GE(list_.AddPath(song), 0);
  const QByteArray before = Digest(song);
  view_.same_folder = true;

  // song.WAV would differ from song.wav only in letter case: the "-New" rule keeps them apart.
  settings_.format = FormatCode::Wav;
  RunInto(QString());
  EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("music/song-New.WAV"))));
  EXPECT_EQ(Statuses(), QStringList{QStringLiteral("Completed")});
  EXPECT_EQ(Digest(song), before) << "the source is never written";

  // An MP3 source converted to MP3 beside itself becomes "-New".
  const QString mp3 = Path(QStringLiteral("music/tune.mp3"));
  test::RunTool(QStringLiteral("ffmpeg"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), song, mp3});
  list_.ClearSelection();
  list_.SetSelected(0, true);
  list_.RemoveSelected();
  ASSERT_GE(list_.AddPath(mp3), 0);
  const QByteArray mp3Before = Digest(mp3);
  RunInto(QString());
  EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("music/tune.WAV"))));
  settings_.format = FormatCode::Mp3;
  RunInto(QString());
  EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("music/tune-New.MP3"))));
  EXPECT_EQ(Digest(mp3), mp3Before);
  EXPECT_EQ(ui_.completion_summaries.back(),
            QStringLiteral("1 files converted (success 1, failure 0), saved to the same folder as its originals.\n\n"));
  EXPECT_FALSE(ui_.completion_folder_allowed.back()) << "no output folder to open in same-folder mode";
}

TEST_F(ConversionRunTest, FolderRowsAreMirroredAndTheOutputFolderRowIsRefused) {
  const QString a = Wav(QStringLiteral("Music/Album/a.wav"));
  const QString b = Wav(QStringLiteral("Music/Album/CD1/b.wav"));
  const QString out = Folder(QStringLiteral("Out"));
  ASSERT_GE(list_.AddPath(out), 0);  // a folder row that is the output folder itself
  ASSERT_GE(list_.AddPath(Path(QStringLiteral("Music/Album"))), 0);
  RunInto(out);
  EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/Album/a.MP3")));
  EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/Album/CD1/b.MP3")));
  EXPECT_EQ(Statuses()[0], QStringLiteral("Cancelled"));
  EXPECT_EQ(Statuses()[1], QStringLiteral("Completed"));
  EXPECT_EQ(list_.Text(1, ListColumn::Size), QStringLiteral("2 files"));
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_TRUE(ui_.messages.front().text.startsWith(QStringLiteral("The folder [") + out));
  EXPECT_EQ(counts_.succeeded, 2);
  EXPECT_TRUE(view_.detail_lines.contains(QStringLiteral("#02/02 (02/02) [... Album/CD1/b.wav]")))
      << view_.detail_lines.join(QLatin1Char('|')).toStdString();
}

TEST_F(ConversionRunTest, OutputsInsideAScannedFolderAreNotConvertedAgain) {
  Wav(QStringLiteral("Library/x.wav"));
  const QString out = Path(QStringLiteral("Library/converted"));
  ASSERT_GE(list_.AddPath(Path(QStringLiteral("Library"))), 0);
  RunInto(out);
  RunInto(out);  // the second run must not pick up converted/Library/x.MP3
  EXPECT_EQ(list_.Text(0, ListColumn::Size), QStringLiteral("1 files"));
  EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/Library/converted")));
}

TEST_F(ConversionRunTest, AFileWhoseNameIsNotUtf8IsListedAsFailed) {
  const QString plain = Wav(QStringLiteral("Latin/plain.wav"));
  const QByteArray latin1 = QFile::encodeName(Path(QStringLiteral("Latin"))) + "/caf\xe9.wav";
  ASSERT_TRUE(QFile::copy(plain, Path(QStringLiteral("Latin/copy.wav"))));
  ASSERT_EQ(::rename(QFile::encodeName(Path(QStringLiteral("Latin/copy.wav"))).constData(), latin1.constData()), 0);
  ASSERT_GE(list_.AddPath(Path(QStringLiteral("Latin"))), 0);
  RunInto(Folder(QStringLiteral("out")));
  ::unlink(latin1.constData());  // out of Qt's reach when the folder is removed
  EXPECT_EQ(counts_.succeeded, 1);
  ASSERT_EQ(counts_.failed.size(), 1);
  EXPECT_TRUE(counts_.failed.front().endsWith(QStringLiteral(".wav"))) << qPrintable(counts_.failed.front());
  EXPECT_TRUE(ui_.completion_summaries.back().contains(counts_.failed.front()));
}

TEST_F(ConversionRunTest, OverwritePromptAnswers) {
  const QString src = Wav(QStringLiteral("in/a.wav"));
  ASSERT_GE(list_.AddPath(src), 0);
  const QString out = Folder(QStringLiteral("out"));
  const QString existing = out + QStringLiteral("/a.MP3");
  test::WriteAll(existing, QByteArray("old output"));

  OverwriteReply skip;  // the default answer is Skip
  ui_.overwrite_replies.push_back(skip);
  RunInto(out);
  EXPECT_EQ(Statuses(), QStringList{QStringLiteral("Skipped")});
  EXPECT_EQ(test::ReadAll(existing), QByteArray("old output"));
  EXPECT_EQ(ui_.overwrite_messages.front(), existing + QStringLiteral(" already exists. Do you want to replace it?"));
  EXPECT_TRUE(ui_.completion_summaries.back().startsWith(QStringLiteral("0 files converted (success 0, failure 0)")));

  OverwriteReply other;
  other.choice = OverwriteReply::Choice::Overwrite;
  other.use_other_name = true;
  other.other_name = out + QStringLiteral("/renamed.MP3");
  ui_.overwrite_replies.push_back(other);
  RunInto(out);
  EXPECT_TRUE(QFileInfo::exists(other.other_name));
  EXPECT_EQ(test::ReadAll(existing), QByteArray("old output"));

  OverwriteReply replace;
  replace.choice = OverwriteReply::Choice::Overwrite;
  replace.dont_ask_again = true;
  ui_.overwrite_replies.push_back(replace);
  RunInto(out);
  EXPECT_NE(test::ReadAll(existing), QByteArray("old output"));
  EXPECT_EQ(store_.ReadNumber(keys::section::kConvert, keys::kConfirmOverwrite, 1), 0);
  const qsizetype asked = ui_.overwrite_messages.size();
  RunInto(out);  // "don't ask again": replaced without a question
  EXPECT_EQ(ui_.overwrite_messages.size(), asked);
}

TEST_F(ConversionRunTest, OutputsGetOrdinaryPermissionsAndReplacementsKeepTheirs) {
  const mode_t previous = ::umask(022);
  ASSERT_GE(list_.AddPath(Wav(QStringLiteral("in/a.wav"))), 0);
  ASSERT_GE(list_.AddPath(Wav(QStringLiteral("in/b.wav"))), 0);
  const QString out = Folder(QStringLiteral("out"));
  const QString replaced = out + QStringLiteral("/b.MP3");
  test::WriteAll(replaced, QByteArray("old"));
  ASSERT_EQ(::chmod(QFile::encodeName(replaced).constData(), 0640), 0);
  store_.WriteNumber(keys::section::kConvert, keys::kConfirmOverwrite, 0);
  RunInto(out);
  ::umask(previous);
  struct stat created {};
  struct stat kept {};
  ASSERT_EQ(::stat(QFile::encodeName(out + QStringLiteral("/a.MP3")).constData(), &created), 0);
  ASSERT_EQ(::stat(QFile::encodeName(replaced).constData(), &kept), 0);
  EXPECT_EQ(created.st_mode & 0777, 0644u) << "a new output is readable by others, as any new file";
  EXPECT_EQ(kept.st_mode & 0777, 0640u) << "a replaced output keeps its permissions";
  EXPECT_NE(test::ReadAll(replaced), QByteArray("old"));
}

TEST_F(ConversionRunTest, OverwriteAllAnswersTheRestOfTheRun) {
  const QString out = Folder(QStringLiteral("out"));
  for (const char* name : {"a", "b", "c"}) {
    ASSERT_GE(list_.AddPath(Wav(QStringLiteral("in/%1.wav").arg(QLatin1String(name)))), 0);
    test::WriteAll(out + QStringLiteral("/%1.MP3").arg(QLatin1String(name)), QByteArray("old"));
  }
  OverwriteReply all;
  all.choice = OverwriteReply::Choice::OverwriteAll;
  ui_.overwrite_replies.push_back(all);
  RunInto(out);
  EXPECT_EQ(ui_.overwrite_messages.size(), 1);
  EXPECT_EQ(Statuses(), QStringList(3, QStringLiteral("Completed")));
}

TEST_F(ConversionRunTest, AnOutputThatIsASourceFailsInsteadOfDestroyingIt) {
  const QString a = Wav(QStringLiteral("in/a.wav"));
  const QString b = Wav(QStringLiteral("in/b.wav"));
  ASSERT_GE(list_.AddPath(a), 0);
  ASSERT_GE(list_.AddPath(b), 0);
  const QByteArray before = Digest(a) + Digest(b);
  const QString out = Folder(QStringLiteral("out"));
  // a's output exists and the user picks another name: the other source file, through a link.
  test::WriteAll(out + QStringLiteral("/a.MP3"), QByteArray("old"));
  ASSERT_TRUE(QFile::link(b, out + QStringLiteral("/link-to-b.wav")));
  OverwriteReply other;
  other.choice = OverwriteReply::Choice::Overwrite;
  other.use_other_name = true;
  other.other_name = out + QStringLiteral("/link-to-b.wav");
  ui_.overwrite_replies.push_back(other);
  RunInto(out);
  EXPECT_EQ(Statuses()[0], QStringLiteral("Failed (The output would replace a source file of this conversion)"));
  EXPECT_EQ(Statuses()[1], QStringLiteral("Completed"));
  EXPECT_EQ(Digest(a) + Digest(b), before);
  EXPECT_EQ(counts_.failed, QStringList{a});
  EXPECT_TRUE(ui_.completion_summaries.back().endsWith(QStringLiteral("===== File list of failed conversion =====\n") +
                                                       a + QLatin1Char('\n')));
}

TEST_F(ConversionRunTest, AFailedReplacementKeepsTheOldOutput) {
  // A source that decodes to nothing usable: the engine refuses it, the old output stays.
  const QString bad = Path(QStringLiteral("in/broken.wav"));
  QDir().mkpath(Path(QStringLiteral("in")));
  ASSERT_GE(list_.AddPath(Wav(QStringLiteral("in/broken.wav"))), 0);
  test::WriteAll(bad, QByteArray("RIFF....WAVEfmt garbage"));
  const QString out = Folder(QStringLiteral("out"));
  test::WriteAll(out + QStringLiteral("/broken.MP3"), QByteArray("previous"));
  OverwriteReply replace;
  replace.choice = OverwriteReply::Choice::Overwrite;
  ui_.overwrite_replies.push_back(replace);
  RunInto(out);
  EXPECT_TRUE(Statuses().front().startsWith(QStringLiteral("Failed (Unable to load file <")));
  EXPECT_EQ(test::ReadAll(out + QStringLiteral("/broken.MP3")), QByteArray("previous"));
  EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file is left";
}

TEST_F(ConversionRunTest, StopThisAndStopAll) {
  const QString out = Folder(QStringLiteral("out"));
  for (const char* name : {"a", "b", "c"}) {
    ASSERT_GE(list_.AddPath(Wav(QStringLiteral("in/%1.wav").arg(QLatin1String(name)))), 0);
  }
  stop_after_first_block_ = true;
  ui_.stop_answers = {StopAnswer::StopThis, StopAnswer::Continue, StopAnswer::StopAll};
  RunInto(out);
  EXPECT_EQ(Statuses(),
            (QStringList{QStringLiteral("Cancelled"), QStringLiteral("Completed"), QStringLiteral("Cancelled")}));
  EXPECT_EQ(ui_.stop_questions.front(), QStringLiteral("Are you sure to stop the conversion of current file?"));
  EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/a.MP3")));
  EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/b.MP3")));
  EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/c.MP3")));
  EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no partial file is left";
  EXPECT_TRUE(ui_.completion_summaries.back().startsWith(QStringLiteral("1 files converted (success 1, failure 0)")));
  EXPECT_EQ(view_.status_lines.back(), QStringLiteral("Idle"));
}

TEST_F(ConversionRunTest, RefusalsBeforeAnyFileIsTouched) {
  RunInto(Folder(QStringLiteral("out")));  // empty list
  EXPECT_EQ(ui_.MessageTexts(), QStringList{QStringLiteral("Please select audio file(s) to convert !")});
  EXPECT_EQ(view_.add_files_opened, 1);

  ASSERT_GE(list_.AddPath(Wav(QStringLiteral("in/a.wav"))), 0);
  ui_.folder_answers.push_back(std::nullopt);  // no output folder: the chooser is cancelled
  RunInto(QString());
  EXPECT_EQ(encodes_, 0);
  EXPECT_TRUE(view_.running.empty());

  settings_.sample_rate = 8000;
  settings_.bitrate = 320;  // LAME takes at most 64 kbps at 8000 Hz
  RunInto(Folder(QStringLiteral("out")));
  EXPECT_EQ(encodes_, 0);
  EXPECT_TRUE(
      ui_.MessageTexts().back().startsWith(QStringLiteral("Selected device doesn't support 8000 Hz, 320 kbps")));
  EXPECT_EQ(view_.running, (std::vector<bool>{true, false}));
}

TEST_F(ConversionRunTest, ChosenOutputFolderFillsAnEmptyField) {
  ASSERT_GE(list_.AddPath(Wav(QStringLiteral("in/a.wav"))), 0);
  const QString chosen = Folder(QStringLiteral("chosen"));
  ui_.folder_answers.push_back(chosen);
  RunInto(QString());
  EXPECT_EQ(view_.output_field, chosen);
  EXPECT_EQ(store_.ReadText(keys::section::kConvert, keys::kOutputFolder), chosen);
  EXPECT_EQ(store_.ReadText(keys::section::kConvert, keys::kLastOutputFolder), chosen);
  EXPECT_TRUE(QFileInfo::exists(chosen + QStringLiteral("/a.MP3")));
}

TEST_F(ConversionRunTest, NormalisationReachesTheTargetAndLeavesSilenceAlone) {
  settings_.format = FormatCode::Wav;
  const QString quiet = Path(QStringLiteral("in/quiet.wav"));
  QDir().mkpath(Path(QStringLiteral("in")));
  test::RunTool(
      QStringLiteral("sox"),
      {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"), QStringLiteral("2"),
       QStringLiteral("-b"), QStringLiteral("16"), quiet, QStringLiteral("synth"), QStringLiteral("1"),
       QStringLiteral("sine"), QStringLiteral("440"), QStringLiteral("vol"), QStringLiteral("0.25")});
  const QString silent = Path(QStringLiteral("in/silent.wav"));
  // Digital silence (sox would dither it).
  test::RunTool(QStringLiteral("ffmpeg"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                 QStringLiteral("-i"), QStringLiteral("anullsrc=r=44100:cl=stereo"), QStringLiteral("-t"),
                 QStringLiteral("1"), QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"), silent});
  ASSERT_GE(list_.AddPath(quiet), 0);
  ASSERT_GE(list_.AddPath(silent), 0);
  view_.normalize = true;
  view_.percent = 150;  // clamped to 100 and handed back
  const QString out = Folder(QStringLiteral("out"));
  RunInto(out);
  EXPECT_EQ(view_.percent, 100);
  EXPECT_EQ(store_.ReadNumber(keys::section::kConvert, keys::kNormalizationValue, -1), 100);
  const auto peakOf = [](const QByteArray& pcm) {
    int peak = 0;
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
    for (qsizetype i = 0; i < pcm.size() / 2; ++i) peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak;
  };
  EXPECT_GE(peakOf(test::DecodeWithFfmpeg(out + QStringLiteral("/quiet.WAV"))), 32000);
  EXPECT_EQ(peakOf(test::DecodeWithFfmpeg(out + QStringLiteral("/silent.WAV"))), 0);
  EXPECT_EQ(Statuses(), QStringList(2, QStringLiteral("Completed")));
}

// The window's run takes loudness normalisation and ReplayGain from the settings: each file is
// brought to the target, measured as written, and both get the album's tags once both are done.
TEST_F(ConversionRunTest, LoudnessNormalisationAndAlbumGainFromTheSettings) {
  store_.WriteNumber(keys::section::kConvert, keys::kReplayGainMode, static_cast<int>(ReplayGainMode::Album));
  LoudnessTarget::Write(store_, keys::section::kConvert, LoudnessTarget{-20.0, -1.0});
  QDir().mkpath(Path(QStringLiteral("in")));
  test::MakeTone(Path(QStringLiteral("in/a.wav")), 2, 44100, 2);
  test::MakeMusic(Path(QStringLiteral("in/b.wav")), 44100, 4);
  ASSERT_GE(list_.AddPath(Path(QStringLiteral("in/a.wav"))), 0);
  ASSERT_GE(list_.AddPath(Path(QStringLiteral("in/b.wav"))), 0);
  view_.normalize = true;
  const QString out = Folder(QStringLiteral("out"));
  RunInto(out);
  EXPECT_EQ(Statuses(), QStringList(2, QStringLiteral("Completed")));
  for (const QString& name : {QStringLiteral("/a.MP3"), QStringLiteral("/b.MP3")}) {
    for (const QString& tag : {QStringLiteral("REPLAYGAIN_TRACK_GAIN"), QStringLiteral("REPLAYGAIN_ALBUM_GAIN")}) {
      const QString gain = test::ProbeTag(out + name, tag);
      EXPECT_NEAR(gain.section(QLatin1Char(' '), 0, 0).toDouble(), 2.0, 0.05) << (name + tag + gain).toStdString();
    }
  }
}

TEST_F(ConversionRunTest, TagsFollowTheSourceIntoMp3) {
  const QString tagged = Path(QStringLiteral("in/tagged.flac"));
  QDir().mkpath(Path(QStringLiteral("in")));
  test::MakeTone(tagged, 1, 44100, 2,
                 {QStringLiteral("-metadata"), QStringLiteral("title=A title much longer than thirty characters"),
                  QStringLiteral("-metadata"), QStringLiteral("artist=Someone")});
  ASSERT_GE(list_.AddPath(tagged), 0);
  const QString out = Folder(QStringLiteral("out"));
  RunInto(out);
  const QString mp3 = out + QStringLiteral("/tagged.MP3");
  EXPECT_EQ(test::ProbeTag(mp3, QStringLiteral("title")), QStringLiteral("A title much longer than thirty characters"))
      << "a long title needs the ID3v2 tag in automatic mode";
  EXPECT_EQ(test::ProbeTag(mp3, QStringLiteral("artist")), QStringLiteral("Someone"));
}

TEST_F(ConversionRunTest, AWindowClosedWithOkLeavesTheFolderToAutoOpen) {
  ASSERT_GE(list_.AddPath(Wav(QStringLiteral("in/a.wav"))), 0);
  const QString out = Folder(QStringLiteral("out"));
  store_.WriteNumber(keys::section::kConvert, keys::kAutoOpenFolder, 1);
  RunInto(out);
  EXPECT_EQ(ui_.completion_summaries.size(), 1u);
  EXPECT_EQ(ui_.opened_paths, QStringList{out});
}

TEST_F(ConversionRunTest, OpeningTheOutputFolderWithoutAnOpenerIsTold) {
  ASSERT_GE(list_.AddPath(Wav(QStringLiteral("in/a.wav"))), 0);
  const QString out = Folder(QStringLiteral("out"));
  ui_.opener_available = false;
  // "Open Folder" in the completion window, then the automatic opening without that window.
  ui_.completion_reply.open_folder = true;
  RunInto(out);
  store_.WriteNumber(keys::section::kConvert, keys::kShowSuccess, 0);
  store_.WriteNumber(keys::section::kConvert, keys::kAutoOpenFolder, 1);
  RunInto(out);
  EXPECT_EQ(ui_.opened_paths, QStringList({out, out}));
  const QStringList messages = ui_.MessageTexts();
  ASSERT_EQ(messages.size(), 2) << messages.join(QLatin1Char('|')).toStdString();
  for (const QString& message : messages) {
    EXPECT_TRUE(message.startsWith(QStringLiteral("Could not open '%1'").arg(out))) << message.toStdString();
  }
  EXPECT_EQ(ui_.completion_failed_counts, std::vector<int>{0});
}

}  // namespace
}  // namespace corvane
