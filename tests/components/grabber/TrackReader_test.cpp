// The track reader under a read offset: reads of any size, seeks, and what its tap is told when
// sectors fail under each error action.
#include "components/grabber/TrackReader.h"

#include <gtest/gtest.h>

#include <cdio/cdio.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "discimage/CdioDiscAccess.h"
#include "discimage/DiscAccess.h"
#include "support/ShiftedDisc.h"

namespace corvane {
namespace {

using test::DiscImageFixture;
constexpr int kBytes = DiscImageFixture::kSectorBytes;

class TrackReaderTest : public testing::Test {
 protected:
  // Reads the rest of the track in reads of `sectors`; stops at the first failure.
  static GrabberResult ReadRest(TrackReader& reader, int sectors, QByteArray& all) {
    for (QByteArray chunk;;) {
      const GrabberResult read = reader.Read(sectors, chunk);
      if (read.Failed() || chunk.isEmpty()) return read;
      all += chunk;
    }
  }

  QTemporaryDir dir_;
  DiscImageFixture fixture_{dir_.filePath(QStringLiteral("images"))};
  const test::DiscPlan plan_{{{.sectors = 20}, {.sectors = 30}}};
};

TEST_F(TrackReaderTest, OffsetReadsOfAnySizeAndSeeksKeepTheTapInStep) {
  for (const int offset : {7, -7, -700}) {
    const test::DiscImage disc = test::BuildShiftedDisc(fixture_, QStringLiteral("disc"), plan_, offset);
    DiscOpenResult opened = OpenDisc(disc.cue);
    ASSERT_TRUE(opened.Succeeded()) << qPrintable(opened.status.text);
    IDiscAccess& image = **opened.value;
    for (const int mode : {1, 2}) {
      SCOPED_TRACE(testing::Message() << "offset " << offset << " mode " << mode);
      const QByteArray expected = test::ReachableTrackPcm(disc, plan_, 0, offset);
      test::RecordingTap tap;
      TrackReader reader(image, disc.lsns[0], 20, {.grab_mode = mode, .read_offset = offset}, &tap);
      ASSERT_TRUE(reader.Open().Succeeded());
      QByteArray all;
      QByteArray chunk;
      ASSERT_TRUE(reader.Read(1, chunk).Succeeded());
      all += chunk;
      ASSERT_TRUE(ReadRest(reader, 3, all).Succeeded());
      EXPECT_TRUE(all == expected);
      EXPECT_TRUE(tap.Pcm() == expected);
      // Back to the start: the tap starts over and sees the track again; a jump breaks it.
      ASSERT_TRUE(reader.Seek(0).Succeeded());
      all.clear();
      ASSERT_TRUE(ReadRest(reader, 7, all).Succeeded());
      EXPECT_TRUE(all == expected);
      EXPECT_TRUE(tap.Pcm() == expected);
      EXPECT_EQ(tap.Restarts(), 1);
      EXPECT_EQ(tap.Breaks(), 0);
      ASSERT_TRUE(reader.Seek(5).Succeeded());
      ASSERT_TRUE(reader.Read(2, chunk).Succeeded());
      EXPECT_TRUE(chunk == expected.mid(5 * kBytes, 2 * kBytes));
      EXPECT_EQ(tap.Breaks(), 1);
    }
  }
}

// The .bin ends inside sector 8 of the second track: stopping fails the read, silence keeps the
// length, leaving sectors out shortens the track; the tap is broken whenever the track cannot
// reach it whole.
TEST_F(TrackReaderTest, UnreadableSectorsFollowTheErrorActionAndBreakTheTap) {
  const int offset = 5;
  const test::DiscImage disc = test::BuildShiftedDisc(fixture_, QStringLiteral("cut"), plan_, offset);
  ASSERT_TRUE(QFile::resize(disc.bin, qint64{20 + 8} * kBytes));
  DiscOpenResult opened = OpenDisc(disc.cue);
  ASSERT_TRUE(opened.Succeeded()) << qPrintable(opened.status.text);
  IDiscAccess& image = **opened.value;
  const QByteArray expected = test::ReachableTrackPcm(disc, plan_, 1, offset);
  for (const int action : {0, 1, 2}) {
    SCOPED_TRACE(action);
    test::RecordingTap tap;
    TrackReader reader(image, disc.lsns[1], 30, {.error_action = action, .read_offset = offset}, &tap);
    ASSERT_TRUE(reader.Open().Succeeded());
    QByteArray all;
    const GrabberResult result = ReadRest(reader, 4, all);
    EXPECT_EQ(result.code, action == 0 ? GrabberErrorCode::ReadError : GrabberErrorCode::Ok);
    EXPECT_EQ(tap.Breaks() > 0, action != 1);
    // Sector 7 still reads whole; the track's bytes that sector 8 or later of the disc holds do not.
    const qsizetype good = 8 * kBytes - offset * 4;
    EXPECT_TRUE(all.left(good) == expected.left(std::min(good, all.size())));
    if (action == 1) {
      EXPECT_EQ(all.size(), expected.size());
      EXPECT_EQ(all.mid(good).count('\0'), all.size() - good);
      EXPECT_TRUE(tap.Pcm() == all);
    } else {
      EXPECT_LT(all.size(), expected.size() - kBytes);
    }
  }
}

// A disc whose data ends 10 sectors into track 2 after its table was read, as a damaged disc in a
// drive: libcdio's own image driver fails every read that starts past the cut (the reads here
// end at it). Careful reading, which unbounded retries such an area for as long as it takes,
// gives it up and counts the same sectors as plain reading; stopping fails at the first.
TEST_F(TrackReaderTest, CarefulReadingGivesUpAnUnreadableAreaAndCountsItsSectors) {
  const test::DiscPlan plan{{{.sectors = 20}, {.sectors = 300}}};
  const test::DiscImage disc = test::BuildShiftedDisc(fixture_, QStringLiteral("damaged"), plan, 0);
  const QByteArray expected = test::ReachableTrackPcm(disc, plan, 1, 0);
  for (const int mode : {1, 4}) {
    for (const int action : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " action " << action);
      ASSERT_TRUE(QFile::resize(disc.bin, qint64{20 + 300} * kBytes));
      CdioDiscAccess drive(CdioHandle(cdio_open(QFile::encodeName(disc.cue).constData(), DRIVER_BINCUE)));
      ASSERT_EQ(drive.Table().tracks.size(), 2U);
      ASSERT_TRUE(QFile::resize(disc.bin, qint64{20 + 10} * kBytes));
      TrackReader reader(drive, disc.lsns[1], 300, {.grab_mode = mode, .error_action = action, .retries = 2});
      ASSERT_TRUE(reader.Open().Succeeded());
      QByteArray all;
      const GrabberResult result = ReadRest(reader, 10, all);
      if (action == 0) {
        EXPECT_EQ(result.code, GrabberErrorCode::ReadError);
        EXPECT_EQ(reader.UnreadableSectors(), 1);
        continue;
      }
      ASSERT_TRUE(result.Succeeded()) << qPrintable(result.text);
      EXPECT_EQ(reader.UnreadableSectors(), 290);
      ASSERT_EQ(all.size(), expected.size());
      EXPECT_TRUE(all.left(10 * kBytes) == expected.left(10 * kBytes));
      EXPECT_EQ(all.mid(10 * kBytes).count('\0'), 290 * kBytes);
    }
  }
}

}  // namespace
}  // namespace corvane
