// Ripping one track of a generated disc image: bit-exact lossless outputs, and nothing lost or
// left behind when a track fails.
#include "ripper/RipTrack.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/MemorySettings.h"
#include "common/UserInterface.h"
#include "components/IConversionComponent.h"
#include "encoding/EncoderSetup.h"
#include "encoding/Mp3EncoderConfig.h"
#include "formats/EncoderCapabilities.h"
#include "support/DiscImageFixture.h"
#include "support/ScriptedUserInterface.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

class RipTrackTest : public ::testing::TestWithParam<FormatCode> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // Audio, data, audio: the second audio track is row 2 and starts past the data track.
    disc_ = fixture_.Build(QStringLiteral("disc"), {{{.sectors = 40}, {.sectors = 10, .data = true}, {.sectors = 53}}});
    ASSERT_TRUE(QDir().mkpath(Out(QString())));
  }
  QString Out(const QString& name) const { return dir_.filePath(QStringLiteral("out/") + name); }

  RipTrackJob Job(FormatCode format, const QString& name) {
    converter_ = CreateAudioConverter();
    EXPECT_TRUE(converter_);
    RipTrackJob job;
    job.device = disc_.cue;
    job.row = 2;
    job.output = Out(name);
    job.settings = EncodeSettings{.format = format, .sample_rate = 44100, .channels = 2};
    job.converter = converter_.get();
    job.user_settings = &settings_;
    EXPECT_TRUE(SetupEncoder(*converter_, job.settings, mp3_, capabilities_, ui_));
    return job;
  }
  QStringList OutputFolder() const { return QDir(Out(QString())).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir dir_;
  test::DiscImageFixture fixture_{dir_.filePath(QStringLiteral("images"))};
  test::DiscImage disc_;
  MemorySettings settings_;
  Mp3EncoderConfig mp3_{settings_};
  EncoderCapabilities capabilities_;
  std::unique_ptr<IConversionComponent> converter_;
  test::ScriptedUserInterface ui_;
};

TEST_P(RipTrackTest, LosslessOutputDecodesToTheTracksPcmAndReplacesOnlyWhenAllowed) {
  const QString name = GetParam() == FormatCode::Flac ? QStringLiteral("t.flac") : QStringLiteral("t.wav");
  ASSERT_TRUE(test::WriteAll(Out(name), "older"));
  RipTrackJob job = Job(GetParam(), name);
  const Result<RipResult> kept = RipTrack(job, ui_);
  EXPECT_EQ(kept.code, RipResult::NoOutput);
  EXPECT_EQ(test::ReadAll(Out(name)), QByteArray("older")) << "an output not to be replaced stays";

  job.replace = true;
  const Result<RipResult> ripped = RipTrack(job, ui_);
  ASSERT_EQ(ripped.code, RipResult::Done) << qPrintable(ripped.text);
  EXPECT_TRUE(test::DecodeWithFfmpeg(Out(name)) == disc_.tracks[2]);
  EXPECT_EQ(OutputFolder(), QStringList{name}) << "no temporary file is left";
  EXPECT_EQ(ui_.progress.back(), 100);
}

INSTANTIATE_TEST_SUITE_P(Formats, RipTrackTest, ::testing::Values(FormatCode::Flac, FormatCode::Wav));

using RipTrackFailureTest = RipTrackTest;

TEST_F(RipTrackFailureTest, UnreadableTrackLeavesNothingAndKeepsTheExistingFile) {
  // An album image whose FLAC file is damaged from a third of its length on: its table still
  // holds the whole album, and the read fails once it gets there.
  const test::DiscImage album =
      fixture_.BuildAlbum(QStringLiteral("album"), {{{.sectors = 90}}}, test::DiscImageFixture::AlbumFile::Flac);
  QFile flac(album.bin);
  ASSERT_TRUE(flac.open(QIODevice::ReadWrite) && flac.seek(flac.size() / 3));
  const qint64 damaged = flac.size() - flac.pos();
  ASSERT_EQ(flac.write(QByteArray(damaged, '\0')), damaged);
  flac.close();
  ASSERT_TRUE(test::WriteAll(Out(QStringLiteral("t.flac")), "older"));
  RipTrackJob job = Job(FormatCode::Flac, QStringLiteral("t.flac"));
  job.device = album.cue;
  job.row = 0;
  job.replace = true;
  job.read.retries = 0;
  const Result<RipResult> failed = RipTrack(job, ui_);
  EXPECT_EQ(failed.code, RipResult::Failed);
  EXPECT_FALSE(failed.text.isEmpty());
  EXPECT_EQ(test::ReadAll(Out(QStringLiteral("t.flac"))), QByteArray("older"));
  EXPECT_EQ(OutputFolder(), QStringList{QStringLiteral("t.flac")});

  job.output = Out(QStringLiteral("new.wav"));
  job.device = dir_.filePath(QStringLiteral("missing.cue"));
  EXPECT_EQ(RipTrack(job, ui_).code, RipResult::NoDisc);
  EXPECT_EQ(OutputFolder(), QStringList{QStringLiteral("t.flac")});
}

TEST_F(RipTrackFailureTest, StoppedTrackLeavesNothing) {
  RipTrackJob job = Job(FormatCode::Wav, QStringLiteral("t.wav"));
  RipStopRequest stop;
  stop.pressed = true;
  job.stop_request = &stop;
  ui_.stop_answers.push_back(StopAnswer::StopThis);
  EXPECT_EQ(RipTrack(job, ui_).code, RipResult::StoppedThis);
  EXPECT_EQ(ui_.stop_questions.size(), 1);
  EXPECT_TRUE(OutputFolder().isEmpty());
}

}  // namespace
}  // namespace corvane
