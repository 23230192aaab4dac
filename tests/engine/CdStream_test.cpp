#include "engine/CdStream.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/MemorySettings.h"
#include "encoding/EncodeTrack.h"
#include "engine/CdTrackPlace.h"
#include "engine/MixerStream.h"
#include "support/DiscImageFixture.h"
#include "support/ScriptedUserInterface.h"
#include "support/ShiftedDisc.h"
#include "support/SourceFixtures.h"
#include "support/ToolRunner.h"

namespace corvane {
namespace {

using test::DiscImageFixture;
constexpr int kSector = DiscImageFixture::kSectorBytes;

// Everything the stream delivers, in reads of an odd size that cross sector and block edges; the
// last status is left in `status` (0 at the end, -1 on a failure).
QByteArray ReadAll(AudioStream& stream, int& status, int chunk = 9996) {
  QByteArray all;
  QByteArray buffer(chunk, '\0');
  while ((status = stream.Read(buffer.data(), chunk)) > 0) all.append(buffer.constData(), status);
  return all;
}

class CdStreamTest : public ::testing::Test {
 protected:
  // Two audio tracks around a data track; the first is longer than one read block.
  test::DiscImage BuildDisc(const QString& name) {
    return fixture_.Build(name, {{{.sectors = 61}, {.sectors = 20, .data = true}, {.sectors = 33}}});
  }
  std::unique_ptr<CdStream> Open(const QString& device, int row, CdReadOptions options = {}) {
    auto created = CdStream::Create(device, row, options);
    EXPECT_TRUE(created.Succeeded()) << ToCode(created.status.code);
    return created.Succeeded() ? std::move(*created.value) : nullptr;
  }

  QTemporaryDir dir_;
  DiscImageFixture fixture_{dir_.filePath(QStringLiteral("images"))};
};

TEST_F(CdStreamTest, AudioRowsReadBackExactlyFromEveryKindOfImage) {
  const test::DiscImage disc = BuildDisc(QStringLiteral("disc"));
  for (const QString& device : {disc.cue, disc.toc}) {
    for (const int row : {0, 2}) {
      SCOPED_TRACE(qPrintable(QStringLiteral("%1 row %2").arg(device).arg(row)));
      const auto stream = Open(device, row);
      ASSERT_TRUE(stream);
      EXPECT_EQ(stream->Info().rate, 44100);
      EXPECT_EQ(stream->Info().channels, 2);
      EXPECT_EQ(stream->LengthBytes(), disc.tracks[row].size());
      EXPECT_TRUE(stream->LengthIsExact());
      int status = 0;
      EXPECT_TRUE(ReadAll(*stream, status) == disc.tracks[row]);
      EXPECT_EQ(status, 0);
      EXPECT_FALSE(stream->IsActive());
      EXPECT_EQ(stream->PositionBytes(), stream->LengthBytes());
    }
  }
  const test::DiscImage nrg = fixture_.BuildNrg(QStringLiteral("nero"), 30);
  int status = 0;
  const auto nero = Open(nrg.nrg, 0);
  ASSERT_TRUE(nero);
  EXPECT_TRUE(ReadAll(*nero, status) == nrg.tracks[0]);
  // cd-paranoia reads the same track of the sheet on its own, without verification.
  const QString raw = dir_.filePath(QStringLiteral("paranoia.raw"));
  test::ToolOutput(QStringLiteral("cd-paranoia"), {QStringLiteral("-d"), disc.cue, QStringLiteral("-Z"),
                                                   QStringLiteral("-r"), QStringLiteral("3"), raw});
  QFile paranoia(raw);
  ASSERT_TRUE(paranoia.open(QIODevice::ReadOnly));
  const auto stream = Open(disc.cue, 2);
  ASSERT_TRUE(stream);
  EXPECT_TRUE(ReadAll(*stream, status) == paranoia.readAll());
}

TEST_F(CdStreamTest, RefusesWhatIsNoAudioTrackOfADisc) {
  const test::DiscImage disc = BuildDisc(QStringLiteral("disc"));
  const QString notImage = dir_.filePath(QStringLiteral("notes.cue"));
  QFile notes(notImage);
  ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("just words\n") > 0);
  notes.close();
  const std::vector<std::pair<std::pair<QString, int>, EngineError>> cases = {
      {{dir_.filePath(QStringLiteral("missing.cue")), 0}, EngineError::NoCd},
      {{notImage, 0}, EngineError::NoCd},
      {{dir_.filePath(QStringLiteral("no-drive")), 0}, EngineError::NoCd},
      {{disc.cue, 1}, EngineError::NotAudio},
      {{disc.toc, 1}, EngineError::NotAudio},
      {{disc.cue, 3}, EngineError::CdTrack},
      {{disc.cue, -1}, EngineError::CdTrack},
  };
  for (const auto& [where, error] : cases) {
    const auto created = CdStream::Create(where.first, where.second);
    EXPECT_FALSE(created.Succeeded()) << qPrintable(where.first) << " row " << where.second;
    EXPECT_EQ(created.status.code, error) << qPrintable(where.first) << " row " << where.second;
  }
}

// Tables no reading can trust: a track before the disc's start (a track without INDEX 01 once
// came with a negative start, and the stream read before its buffer), one past the lead-out, one
// that ends before it starts. None gives a place to read. A last track that ends inside its last
// sector gives only the frames the image holds.
TEST(CdTrackPlaceTest, PositionsOutsideTheDiscGiveNoPlaceAndAnEndInsideASectorKeepsItsFrames) {
  const auto table = [](const std::vector<int>& lsns, int leadout, qint64 endFrame = -1) {
    DiscTable disc{DiscTable::State::Present, {}, leadout, endFrame};
    for (const int lsn : lsns)
      disc.tracks.push_back({static_cast<int>(disc.tracks.size()) + 1, lsn, DiscTrackFormat::Audio});
    return disc;
  };
  const std::vector<std::tuple<std::vector<int>, int, int>> broken = {
      {{-150, 0}, 300, 0}, {{0, 400}, 300, 1}, {{0, 200, 100}, 300, 1}};
  for (const auto& [lsns, leadout, row] : broken) {
    const EngineResult<CdTrackPlace> place = FindCdTrack(table(lsns, leadout), row);
    EXPECT_EQ(place.status.code, EngineError::NoCd) << "row " << row << " of " << lsns.size();
  }
  const EngineResult<CdTrackPlace> last = FindCdTrack(table({0, 100}, 201, 200 * 588 + 101), 1);
  ASSERT_TRUE(last.Succeeded());
  EXPECT_EQ(last.value->sectors, 101);
  EXPECT_EQ(last.value->frames, 100 * 588 + 101);
}

TEST_F(CdStreamTest, SeekMovesToAnyFrame) {
  const test::DiscImage disc = BuildDisc(QStringLiteral("disc"));
  const auto stream = Open(disc.cue, 0);
  ASSERT_TRUE(stream);
  const QByteArray& pcm = disc.tracks[0];
  QByteArray buffer(7000, '\0');
  // Forward past a block edge, back into the first sector, to an odd byte (rounded down to the
  // frame), and to the very end.
  for (const qint64 place : {qint64{30} * kSector + 400, qint64{4}, qint64{5 * kSector + 6}, qint64{pcm.size()}}) {
    ASSERT_TRUE(stream->Seek(place));
    const qint64 frame = place - place % 4;
    EXPECT_EQ(stream->PositionBytes(), frame);
    const int read = stream->Read(buffer.data(), buffer.size());
    EXPECT_EQ(read, std::min<qint64>(buffer.size(), pcm.size() - frame)) << place;
    EXPECT_TRUE(buffer.left(read) == pcm.mid(frame, read)) << place;
  }
  EXPECT_FALSE(stream->Seek(pcm.size() + 4));
  EXPECT_FALSE(stream->Seek(-4));
  EXPECT_EQ(stream->PositionBytes(), pcm.size());
}

TEST_F(CdStreamTest, FeedsAMixerAtAnotherRateAndChannelCount) {
  const test::DiscImage disc = BuildDisc(QStringLiteral("disc"));
  const auto stream = Open(disc.toc, 2);
  ASSERT_TRUE(stream);
  auto mixer = MixerStream::Create(*stream, 48000, 1);
  ASSERT_TRUE(mixer.Succeeded());
  int status = 0;
  const QByteArray mixed = ReadAll(**mixer.value, status, 4800);
  EXPECT_EQ(status, 0);
  const qint64 frames = disc.tracks[2].size() / 4 * 48000 / 44100;
  EXPECT_NEAR(mixed.size() / 2, frames, 1);
  EXPECT_EQ(mixed.size(), (*mixer.value)->LengthBytes());
}

TEST_F(CdStreamTest, EncodesToFlacThatDecodesToTheTrack) {
  const test::DiscImage disc = BuildDisc(QStringLiteral("disc"));
  const auto stream = Open(disc.toc, 2);
  ASSERT_TRUE(stream);
  MemorySettings settings;
  test::ScriptedUserInterface ui;
  EncodeJob job;
  job.output_path = dir_.filePath(QStringLiteral("track.flac"));
  job.source = stream.get();
  job.encode = stream.get();
  job.settings = EncodeSettings{.format = FormatCode::Flac, .sample_rate = 44100, .channels = 2};
  job.user_settings = &settings;
  const EncodeOutcome outcome = EncodeTrack(job, ui);
  ASSERT_TRUE(outcome.Succeeded()) << qPrintable(outcome.text);
  EXPECT_TRUE(test::DecodeWithFfmpeg(job.output_path) == disc.tracks[2]);
}

TEST_F(CdStreamTest, TruncatedImageFailsOrGivesSilenceAtTheSameLength) {
  const test::DiscImage disc = fixture_.Build(QStringLiteral("cut"), {{{.sectors = 40}, {.sectors = 40}}});
  // The data file is cut part way through sector 10 of the second track after the image was
  // opened: the table keeps its length, and what is gone does not read.
  const int kept = 10;
  const QByteArray& pcm = disc.tracks[1];
  const auto strict = Open(disc.cue, 1, {.retries = 1, .skip_errors = false});
  const auto skipping = Open(disc.cue, 1, {.retries = 0, .skip_errors = true});
  ASSERT_TRUE(strict && skipping);
  ASSERT_TRUE(QFile::resize(disc.bin, (40 + kept) * kSector + 1000));
  int status = 0;
  const QByteArray partial = ReadAll(*strict, status);
  EXPECT_EQ(status, -1);
  EXPECT_NE(strict->LastError(), EngineError::Ok);
  EXPECT_EQ(strict->FailedSector(), kept);
  // Whatever came before the failure is the track's own data, none of it past the bad sector.
  EXPECT_LE(partial.size(), kept * kSector);
  EXPECT_TRUE(pcm.startsWith(partial));

  const QByteArray patched = ReadAll(*skipping, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(skipping->LengthBytes(), pcm.size());
  ASSERT_EQ(patched.size(), pcm.size());
  EXPECT_TRUE(patched.left(kept * kSector) == pcm.left(kept * kSector));
  EXPECT_EQ(patched.mid(kept * kSector).count('\0'), pcm.size() - kept * kSector);
}

// Audio runs on both sides of a data track, read through a drive offset of less and of more than
// a sector each way in reads that cross every edge; the tap sees exactly what is delivered.
TEST_F(CdStreamTest, ReadOffsetGivesTheUnshiftedAudioWithSilenceOutOfReach) {
  const test::DiscPlan plan{{{.sectors = 30}, {.sectors = 41}, {.sectors = 10, .data = true}, {.sectors = 25}}};
  for (const int offset : {6, -6, 1000, -1000}) {
    const test::DiscImage disc =
        test::BuildShiftedDisc(fixture_, QStringLiteral("shifted%1").arg(offset + 2000), plan, offset);
    for (const int row : {0, 1, 3}) {
      SCOPED_TRACE(testing::Message() << "offset " << offset << " row " << row);
      const QByteArray expected = test::ReachableTrackPcm(disc, plan, row, offset);
      test::RecordingTap tap;
      const auto stream = Open(disc.cue, row, {.read_offset = offset, .tap = &tap});
      ASSERT_TRUE(stream);
      EXPECT_EQ(stream->LengthBytes(), expected.size());
      int status = 0;
      EXPECT_TRUE(ReadAll(*stream, status, 1000) == expected);
      EXPECT_EQ(status, 0);
      EXPECT_TRUE(tap.Pcm() == expected);
      EXPECT_EQ(tap.Breaks(), 0);
      // Unshifted, the same image reads otherwise.
      const auto plain = Open(disc.cue, row);
      ASSERT_TRUE(plain);
      EXPECT_FALSE(ReadAll(*plain, status) == expected);
    }
  }
  // Back to the start the tap starts over; a jump elsewhere breaks it.
  const test::DiscImage disc = test::BuildShiftedDisc(fixture_, QStringLiteral("seek"), plan, -6);
  test::RecordingTap tap;
  const auto stream = Open(disc.cue, 1, {.read_offset = -6, .tap = &tap});
  ASSERT_TRUE(stream);
  QByteArray buffer(5000, '\0');
  ASSERT_EQ(stream->Read(buffer.data(), buffer.size()), buffer.size());
  ASSERT_TRUE(stream->Seek(0));
  int status = 0;
  EXPECT_TRUE(ReadAll(*stream, status) == test::ReachableTrackPcm(disc, plan, 1, -6));
  EXPECT_TRUE(tap.Pcm() == test::ReachableTrackPcm(disc, plan, 1, -6));
  EXPECT_EQ(tap.Restarts(), 1);
  EXPECT_EQ(tap.Breaks(), 0);
  ASSERT_TRUE(stream->Seek(4 * kSector));
  EXPECT_EQ(tap.Breaks(), 1);
}

}  // namespace
}  // namespace corvane
