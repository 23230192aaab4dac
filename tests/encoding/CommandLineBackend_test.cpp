// FLAC and Musepack jobs run through the real flac and mpcenc programs, judged by ffprobe and
// ffmpeg; a recording stand-in in the program folder shows the exact argument vectors.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/FormatText.h"
#include "encoding/EncodeFixtures.h"
#include "encoding/EncoderCommandLine.h"
#include "formats/OutputFormatCatalogue.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

using test::EncodeFixture;

constexpr int kRate = 44100;
constexpr int kHalfSecondFrames = kRate / 2;

QString StartFailure(int code) { return StringTable::Format(text::kMsgEncoderStartFailed, {code}); }
QString EncodingFailure(int code) { return StringTable::Format(text::kMsgEncodingError, {code}); }

// A stand-in encoder in the program folder: writes its arguments, one a line, to `record`,
// swallows the WAV stream and exits with `status`.
void InstallRecorder(const QString& folder, const QString& name, const QString& record, int status = 0) {
  const QString script = folder + QLatin1Char('/') + name;
  ASSERT_TRUE(
      test::WriteAll(script, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1'\ncat > /dev/null\nexit %2\n")
                                 .arg(record)
                                 .arg(status)
                                 .toUtf8()));
  QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList RecordedArguments(const QString& record) {
  return QString::fromUtf8(test::ReadAll(record)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The Vorbis comments of a FLAC file as metaflac lists them, "NAME=value" each.
QStringList VorbisComments(const QString& path) {
  const test::ToolResult result =
      test::RunTool(QStringLiteral("metaflac"), {QStringLiteral("--export-tags-to=-"), path});
  return QString::fromUtf8(result.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

struct Case {
  FormatCode format;
  const char* extension;
  const char* codec;
};
constexpr Case kFlac{FormatCode::Flac, "out.flac", "flac"};
constexpr Case kMusepack{FormatCode::Musepack, "out.mpc", "musepack8"};

class CommandLineBackend : public ::testing::TestWithParam<Case> {
 protected:
  void Prepare(EncodeFixture& f) {
    f.job.settings.format = GetParam().format;
    f.job.settings.musepack_preset = catalogue::kDefaultMusepackPreset;
    f.Output(QString::fromLatin1(GetParam().extension));
  }
};

TEST_P(CommandLineBackend, EncodesTheWholeSourceWithItsTags) {
  EncodeFixture f;
  const SourceTags tags = test::FixtureTags();
  ASSERT_TRUE(f.OpenTagged(2.0, kRate, 2, tags));
  Prepare(f);
  f.job.keep_tags = true;
  const EncodeOutcome outcome = f.Run();
  ASSERT_EQ(outcome.code, EncodeResult::Done) << qPrintable(outcome.text);

  const QJsonObject probe = test::ProbeWithFfprobe(f.job.output_path);
  EXPECT_EQ(test::ProbeText(probe, "codec_name"), QString::fromLatin1(GetParam().codec));
  EXPECT_EQ(probe.value(QStringLiteral("sample_rate")).toInt(), kRate);
  EXPECT_EQ(probe.value(QStringLiteral("channels")).toInt(), 2);
  EXPECT_NEAR(test::DecodedFrames(f.job.output_path, 2), f.SourceFramesAtJobRate(), kHalfSecondFrames);

  // Read back under the names each program stores: Vorbis comments by metaflac, APEv2 items by
  // ffprobe.
  const bool flac = GetParam().format == FormatCode::Flac;
  const QString year = flac ? QStringLiteral("DATE") : QStringLiteral("year");
  const QString track = flac ? QStringLiteral("TRACKNUMBER") : QStringLiteral("track");
  const std::pair<QString, QString> expected[] = {{QStringLiteral("TITLE"), tags.title},
                                                  {QStringLiteral("ARTIST"), tags.artist},
                                                  {QStringLiteral("ALBUM"), tags.album},
                                                  {QStringLiteral("GENRE"), tags.genre},
                                                  {QStringLiteral("COMMENT"), tags.comment},
                                                  {year, tags.year},
                                                  {track, tags.track}};
  const QStringList comments = flac ? VorbisComments(f.job.output_path) : QStringList();
  for (const auto& [name, value] : expected) {
    if (flac) {
      EXPECT_TRUE(comments.contains(name + QLatin1Char('=') + value))
          << qPrintable(name) << " in " << qPrintable(comments.join(u'|'));
    } else {
      EXPECT_EQ(test::ProbeTag(f.job.output_path, name), value) << qPrintable(name);
    }
  }
  if (flac) {
    EXPECT_EQ(comments.size(), 7);
  }

  // Reported as it went: the path in the status bar, progress rising to 100, a pump per block.
  ASSERT_FALSE(f.ui.script.status_texts.empty());
  EXPECT_EQ(f.ui.script.status_texts.front().first, 1);
  EXPECT_EQ(f.ui.script.status_texts.front().second, StringTable::Text(text::kStatusOutput) + f.job.output_path);
  ASSERT_FALSE(f.ui.script.progress.empty());
  EXPECT_EQ(f.ui.script.progress.front(), 0);
  EXPECT_EQ(f.ui.script.progress.back(), 100);
  EXPECT_TRUE(std::is_sorted(f.ui.script.progress.begin(), f.ui.script.progress.end()));
  EXPECT_GE(f.ui.script.pumps, 4);  // two seconds in half-second blocks
}

TEST_P(CommandLineBackend, MixerSetsTheRateAndChannels) {
  // FLAC at 11025 Hz mono: half a second is not a whole number of frames. mpcenc takes only
  // 32000 Hz and up.
  const int lowRate = GetParam().format == FormatCode::Flac ? 11025 : 32000;
  for (const auto& [rate, channels] : {std::pair{kRate, 2}, std::pair{lowRate, 1}}) {
    EncodeFixture f;
    ASSERT_TRUE(f.Open(1.5, 48000, 3 - channels));
    ASSERT_TRUE(f.Mix(rate, channels));
    Prepare(f);
    ASSERT_EQ(f.Run().code, EncodeResult::Done);
    const QJsonObject probe = test::ProbeWithFfprobe(f.job.output_path);
    EXPECT_EQ(probe.value(QStringLiteral("sample_rate")).toInt(), rate);
    EXPECT_EQ(probe.value(QStringLiteral("channels")).toInt(), channels);
    EXPECT_NEAR(test::DecodedFrames(f.job.output_path, channels), f.SourceFramesAtJobRate(), rate / 2);
  }
}

TEST_P(CommandLineBackend, ATitleCannotInjectOptionsOrCommands) {
  EncodeFixture f;
  const QString marker = f.dir.filePath(QStringLiteral("MARKER"));
  SourceTags tags;
  tags.title = QStringLiteral("\"; touch %1; \" --help").arg(marker);
  ASSERT_TRUE(f.OpenTagged(1.0, kRate, 2, tags));
  Prepare(f);
  f.job.keep_tags = true;
  ASSERT_EQ(f.Run().code, EncodeResult::Done);
  EXPECT_EQ(test::ProbeTag(f.job.output_path, QStringLiteral("TITLE")), tags.title);
  EXPECT_FALSE(QFileInfo::exists(marker));
}

TEST_P(CommandLineBackend, StopThisEndsTheEncoderAndRemovesTheFile) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(3.0, kRate, 2));
  Prepare(f);
  f.job.stop_question = text::kAskStopRipping;
  f.ui.script.stop_answers = {StopAnswer::StopThis};
  f.ui.on_pump = [&](int pump) {
    if (pump == 1) f.stop = true;
  };
  EXPECT_EQ(f.Run().code, EncodeResult::StoppedThis);
  EXPECT_EQ(f.ui.script.stop_questions, QStringList{StringTable::Text(text::kAskStopRipping)});
  EXPECT_EQ(f.ui.script.pumps, 1);
  EXPECT_FALSE(f.stop);  // taken by the job
  EXPECT_TRUE(test::ProcessesMentioning(f.job.output_path).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(f.job.output_path));
}

TEST_P(CommandLineBackend, StopAllAndContinue) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(2.0, kRate, 2));
  Prepare(f);
  f.ui.script.stop_answers = {StopAnswer::Continue, StopAnswer::StopAll};
  f.ui.on_pump = [&](int pump) {
    if (pump <= 2) f.stop = true;
  };
  EXPECT_EQ(f.Run().code, EncodeResult::StoppedAll);
  EXPECT_EQ(f.ui.script.stop_questions.size(), 2);
  EXPECT_EQ(f.ui.script.stop_questions.front(), StringTable::Text(text::kStopConversionQuestion));
  EXPECT_EQ(f.ui.script.pumps, 2);  // "go on" encoded the next block
  EXPECT_TRUE(test::ProcessesMentioning(f.job.output_path).isEmpty());

  // Going on after a stop question leaves a whole file.
  EncodeFixture g;
  ASSERT_TRUE(g.Open(1.5, kRate, 2));
  Prepare(g);
  g.ui.on_pump = [&](int pump) {
    if (pump == 1) g.stop = true;
  };
  ASSERT_EQ(g.Run().code, EncodeResult::Done);
  EXPECT_EQ(g.ui.script.stop_questions.size(), 1);
  EXPECT_NEAR(test::DecodedFrames(g.job.output_path, 2), g.SourceFramesAtJobRate(), kHalfSecondFrames);
}

TEST_P(CommandLineBackend, AnEncoderKilledDuringTheJobFailsIt) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(3.0, kRate, 2));
  Prepare(f);
  f.ui.on_pump = [&](int pump) {
    if (pump == 1) test::KillProcessesMentioning(f.job.output_path);
  };
  const EncodeOutcome outcome = f.Run();
  EXPECT_EQ(outcome.code, EncodeResult::Failed);
  EXPECT_EQ(outcome.text, EncodingFailure(static_cast<int>(EncoderFailure::ProgramStopped)));
  EXPECT_FALSE(QFileInfo::exists(f.job.output_path));
}

INSTANTIATE_TEST_SUITE_P(Programs, CommandLineBackend, ::testing::Values(kFlac, kMusepack),
                         [](const auto& param) { return std::string(param.param.codec); });

// PATH is replaced for the life of the object.
class ScopedPath {
 public:
  explicit ScopedPath(const QByteArray& path) : saved_(qgetenv("PATH")) { qputenv("PATH", path); }
  ~ScopedPath() { qputenv("PATH", saved_); }

 private:
  QByteArray saved_;
};

TEST(FlacBackend, AMissingProgramGives140With9001) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(1.0, kRate, 2));
  f.job.settings.format = FormatCode::Flac;
  f.Output(QStringLiteral("out.flac"));
  f.job.program_folder = f.dir.path();  // holds no flac
  const ScopedPath path(f.dir.path().toUtf8());
  const EncodeOutcome outcome = f.Run();
  EXPECT_EQ(outcome.code, EncodeResult::Failed);
  EXPECT_EQ(outcome.text, StartFailure(static_cast<int>(EncoderFailure::ProgramStart)));
  EXPECT_FALSE(QFileInfo::exists(f.job.output_path));
}

TEST(FlacBackend, ProgramFolderFirstAndLevelsClampedAndWrittenBack) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(1.0, kRate, 2));
  const QString record = f.dir.filePath(QStringLiteral("args.txt"));
  InstallRecorder(f.dir.path(), QStringLiteral("flac"), record);
  f.job.program_folder = f.dir.path();
  f.job.settings.format = FormatCode::Flac;
  const QString out = f.Output(QStringLiteral("out.flac"));
  f.store.WriteNumber(keys::section::kEncoder, keys::kFlacCompressionLevel, 12);
  f.store.WriteNumber(keys::section::kEncoder, keys::kFlacNonSubset, 0);
  ASSERT_EQ(f.Run().code, EncodeResult::Done);
  EXPECT_EQ(RecordedArguments(record),
            (QStringList{QStringLiteral("-f"), QStringLiteral("-o"), out, QStringLiteral("-8"), QStringLiteral("-")}));
  EXPECT_EQ(f.store.ReadNumber(keys::section::kEncoder, keys::kFlacCompressionLevel, -1), 8);

  // Values absent: level 5 written back, non-subset allowed; no tags without keep-tags.
  f.store.Remove(keys::section::kEncoder, keys::kFlacCompressionLevel);
  f.store.Remove(keys::section::kEncoder, keys::kFlacNonSubset);
  ASSERT_EQ(f.Run().code, EncodeResult::Done);
  EXPECT_EQ(RecordedArguments(record),
            (QStringList{QStringLiteral("-f"), QStringLiteral("-o"), out, QStringLiteral("--lax"), QStringLiteral("-5"),
                         QStringLiteral("-")}));
  EXPECT_EQ(f.store.ReadNumber(keys::section::kEncoder, keys::kFlacCompressionLevel, -1), 5);
}

TEST(FlacBackend, AFailureStatusAtTheEndFailsTheJob) {
  EncodeFixture f;
  ASSERT_TRUE(f.Open(1.0, kRate, 2));
  InstallRecorder(f.dir.path(), QStringLiteral("flac"), f.dir.filePath(QStringLiteral("args.txt")), 3);
  f.job.program_folder = f.dir.path();
  f.job.settings.format = FormatCode::Flac;
  f.Output(QStringLiteral("out.flac"));
  const EncodeOutcome outcome = f.Run();
  EXPECT_EQ(outcome.code, EncodeResult::Failed);
  EXPECT_EQ(outcome.text, EncodingFailure(3));
}

TEST(MusepackBackend, PresetIsClampedAndOutputComesOnStandardOutput) {
  EncodeFixture f;
  SourceTags tags;
  tags.title = QStringLiteral("T");
  tags.year = QStringLiteral("2001");
  tags.track = QStringLiteral("3");
  ASSERT_TRUE(f.OpenTagged(1.0, kRate, 2, tags));
  const QString record = f.dir.filePath(QStringLiteral("args.txt"));
  InstallRecorder(f.dir.path(), QStringLiteral("mpcenc"), record);
  f.job.program_folder = f.dir.path();
  f.job.settings.format = FormatCode::Musepack;
  f.job.settings.musepack_preset = 9;
  f.job.keep_tags = true;
  f.Output(QStringLiteral("out.mpc"));
  ASSERT_EQ(f.Run().code, EncodeResult::Done);
  // Tags never travel on the command line (TagLib writes them afterwards); the output comes on
  // the program's standard output.
  EXPECT_EQ(RecordedArguments(record), (QStringList{QStringLiteral("--overwrite"), QStringLiteral("--braindead"),
                                                    QStringLiteral("-"), QStringLiteral("-")}));
}

TEST(FlacBackend, GivenTagsReplaceTheSourcesOwn) {
  EncodeFixture f;
  ASSERT_TRUE(f.OpenTagged(1.0, kRate, 2, test::FixtureTags()));
  SourceTags disc;
  disc.title = QStringLiteral("From the disc");
  f.job.tags = &disc;
  f.job.keep_tags = true;
  f.job.settings.format = FormatCode::Flac;
  f.Output(QStringLiteral("out.flac"));
  ASSERT_EQ(f.Run().code, EncodeResult::Done);
  EXPECT_EQ(test::ProbeTag(f.job.output_path, QStringLiteral("TITLE")), disc.title);
  EXPECT_TRUE(test::ProbeTag(f.job.output_path, QStringLiteral("ARTIST")).isEmpty());
}

TEST(EncoderCommandLine, TagsInTheirOrderEachAsOneArgument) {
  const SourceTags tags = test::FixtureTags();
  const QString out = QStringLiteral("/music/-out.flac");
  const auto tag = [](const QString& text) { return QStringList{QStringLiteral("--tag"), text}; };
  const QStringList tagArguments = tag(QStringLiteral("TITLE=Title \"quoted\"")) +
                                   tag(QStringLiteral("ARTIST=-Artist")) + tag(QStringLiteral("ALBUM=Album")) +
                                   tag(QStringLiteral("GENRE=Rock")) + tag(QStringLiteral("COMMENT=Comment; text"));
  const EncoderCommandLine flac = EncoderCommandLine::Flac(out, true, 3, &tags);
  EXPECT_EQ(flac.program, QStringLiteral("flac"));
  EXPECT_EQ(flac.arguments, QStringList({QStringLiteral("-f"), QStringLiteral("-o"), out, QStringLiteral("--lax"),
                                         QStringLiteral("-3")}) +
                                tagArguments + tag(QStringLiteral("DATE=1999")) + tag(QStringLiteral("TRACKNUMBER=7")) +
                                QStringList{QStringLiteral("-")});
  const EncoderCommandLine mpc = EncoderCommandLine::Musepack(QStringLiteral("radio"), &tags, out);
  EXPECT_EQ(mpc.program, QStringLiteral("mpcenc"));
  EXPECT_EQ(mpc.arguments, QStringList({QStringLiteral("--overwrite"), QStringLiteral("--radio")}) + tagArguments +
                               tag(QStringLiteral("year=1999")) + tag(QStringLiteral("track=7")) +
                               QStringList({QStringLiteral("-"), out}));
  // A relative output path that starts with a dash is made absolute, so it cannot be an option.
  EXPECT_TRUE(EncoderCommandLine::Musepack(QStringLiteral("radio"), nullptr, QStringLiteral("-x.mpc"))
                  .arguments.last()
                  .startsWith(QLatin1Char('/')));
  EXPECT_EQ(EncoderCommandLine::MusepackPreset(-3), QStringLiteral("telephone"));
  EXPECT_EQ(EncoderCommandLine::MusepackPreset(9), QStringLiteral("braindead"));
}

}  // namespace
}  // namespace corvane
