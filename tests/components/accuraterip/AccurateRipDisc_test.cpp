// Disc IDs from tables of contents, and the database's answer read against them.
#include <gtest/gtest.h>

#include "common/StringTable.h"
#include "components/accuraterip/AccurateRipAnswer.h"
#include "components/accuraterip/AccurateRipDiscId.h"
#include "support/AccurateRipAnswerBuilder.h"
#include "support/QtPrinters.h"

namespace corvane {

void PrintTo(const AccurateRipVerdict& verdict, std::ostream* out) {
  *out << '"' << AccurateRipVerdictText(verdict).toStdString() << "\" " << verdict.confidence;
}

namespace {

using Kind = AccurateRipVerdict::Kind;

struct Ids {
  int audio_tracks;
  quint32 id1, id2, cddb;
  std::vector<int> audio_track_numbers;
  const char* urlPath;
};

void ExpectIds(const AccurateRipDiscId& disc, const Ids& ids) {
  EXPECT_EQ(disc.audio_tracks, ids.audio_tracks);
  EXPECT_EQ(disc.id1, ids.id1) << std::hex << disc.id1;
  EXPECT_EQ(disc.id2, ids.id2) << std::hex << disc.id2;
  EXPECT_EQ(disc.cddb, ids.cddb) << std::hex << disc.cddb;
  EXPECT_EQ(disc.audio_track_numbers, ids.audio_track_numbers);
  EXPECT_EQ(disc.UrlPath(), QString::fromLatin1(ids.urlPath));
  EXPECT_TRUE(disc.UrlPath().endsWith(QLatin1Char('/') + disc.Name()));
}

// Ten audio tracks in the first session, a data track in the second: the sums end at the disc's
// lead-out after the data track (ending them at the audio session's end, 270335, gives IDs the
// database does not know), and the CDDB ID counts the data track.
TEST(AccurateRipDiscId, EnhancedCdOfTheWorkedExample) {
  const std::vector<int> lbas{150, 12767, 40487, 63225, 93410, 118115, 151865, 184340, 215260, 247455, 281735};
  std::vector<DiscToc::Track> tracks;
  for (size_t i = 0; i < lbas.size(); ++i)
    tracks.push_back({static_cast<int>(i) + 1, lbas[i] - 150, 0,
                      i + 1 < lbas.size() ? CdTrackType::Audio : CdTrackType::Mode2Form1});
  DiscToc toc;
  toc.sessions = SplitSessions(tracks, lbas.back() - 150);
  toc.leadout_lsn = 333801 - 150;
  const AccurateRipDiscId disc = MakeAccurateRipDiscId(toc);
  ExpectIds(disc, {10,
                   0x00164419u,
                   0x00b9f6e2u,
                   0x9e11600bu,
                   {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                   "9/1/4/dBAR-010-00164419-00b9f6e2-9e11600b.bin"});
  EXPECT_EQ(disc.Name(), QStringLiteral("dBAR-010-00164419-00b9f6e2-9e11600b.bin"));
  EXPECT_EQ(disc.AudioIndexOf(10), 9);
  EXPECT_EQ(disc.AudioIndexOf(11), -1) << "the data track";
}

// A data track 1 at 150, then audio at 20000, 35000, 52000, lead-out 70000. The audio tracks
// count as 1, 2, 3:
//   id1 = 19850 + 34850 + 51850 + 69850 = 176400 = 0x2b110
//   id2 = 19850*1 + 34850*2 + 51850*3 + 69850*4 = 524500 = 0x800d4
//   CDDB over all four tracks: digit sums of 2, 266, 466, 693 s = 2+14+16+18 = 0x32,
//   933 - 2 = 931 s = 0x3a3, 4 tracks: 0x3203a304.
TEST(AccurateRipDiscId, MixedModeLeavesTheDataTrackOutOfTheSums) {
  const AccurateRipTocTrack tracks[] = {{1, 150, false}, {2, 20000, true}, {3, 35000, true}, {4, 52000, true}};
  const AccurateRipDiscId disc = MakeAccurateRipDiscId(tracks, 70000);
  ExpectIds(disc, {3, 0x2b110u, 0x800d4u, 0x3203a304u, {2, 3, 4}, "0/1/1/dBAR-003-0002b110-000800d4-3203a304.bin"});
  EXPECT_EQ(disc.AudioIndexOf(1), -1);
  EXPECT_EQ(disc.AudioIndexOf(2), 0);
}

// Audio at 150, 10000, 25000, lead-out 40000; the first track's offset 0 weighs in as 1:
//   id1 = 0 + 9850 + 24850 + 39850 = 74550 = 0x12336
//   id2 = 1*1 + 9850*2 + 24850*3 + 39850*4 = 253651 = 0x3ded3
//   CDDB: 2+7+9 = 0x12, 533 - 2 = 531 s = 0x213, 3 tracks: 0x12021303.
TEST(AccurateRipDiscId, PlainAudioDisc) {
  const int lbas[] = {150, 10000, 25000};
  ExpectIds(MakeAccurateRipDiscId(lbas, 40000),
            {3, 0x12336u, 0x3ded3u, 0x12021303u, {1, 2, 3}, "6/3/3/dBAR-003-00012336-0003ded3-12021303.bin"});
}

class AccurateRipAnswerTest : public testing::Test {
 protected:
  const int lbas_[3] = {150, 10000, 25000};
  const AccurateRipDiscId disc_ = MakeAccurateRipDiscId(lbas_, 40000);

  AccurateRipAnswer Parse(const std::vector<std::vector<AccurateRipEntry>>& responses) const {
    return ParseAccurateRipAnswer(test::BuildAccurateRipAnswer(disc_, responses), disc_);
  }
};

TEST_F(AccurateRipAnswerTest, VerdictsOverEveryResponse) {
  const std::vector<std::vector<AccurateRipEntry>> responses{
      {{12, 0x1111u, 0xa1u}, {0, 0x2222u, 0}, {0, 0, 0}},
      {{3, 0x1112u, 0xa2u}, {0, 0x2223u, 0}, {7, 0x3333u, 0xa3u}},
      {{30, 0x1113u, 0xa4u}, {0, 0, 0}, {2, 0x3334u, 0}},
  };
  const AccurateRipAnswer answer = Parse(responses);
  ASSERT_EQ(answer.status, AccurateRipStatus::Found);
  EXPECT_EQ(answer.responses, responses);
  const struct {
    int track;
    quint32 v1, v2;
    AccurateRipVerdict verdict;
  } cases[] = {
      {0, 0x1112u, 0x9999u, {Kind::Accurate, 3}},   // only the second response holds it
      {0, 0x9999u, 0x1111u, {Kind::Accurate, 12}},  // by v2
      {0, 0x1111u, 0x1112u, {Kind::Accurate, 12}},  // v1 and v2 in two responses: the more trusted
      {0, 0x9999u, 0x9998u, {Kind::NotAccurate, 30}},
      {1, 0x2222u, 0x2223u, {Kind::NotInDatabase, 0}},  // confidence 0 everywhere
      {2, 0x3334u, 0x3334u, {Kind::Accurate, 2}},
      {2, 0x0u, 0x0u, {Kind::NotAccurate, 7}},  // not the empty first entry
      {3, 0x1111u, 0x1111u, {Kind::NotInDatabase, 0}},
      {-1, 0x1111u, 0x1111u, {Kind::NotInDatabase, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.track << std::hex << ' ' << c.v1 << ' ' << c.v2);
    EXPECT_EQ(answer.For(c.track, c.v1, c.v2), c.verdict);
  }
}

TEST_F(AccurateRipAnswerTest, UntrustworthyBodiesAreDiscardedWhole) {
  const std::vector<std::vector<AccurateRipEntry>> good{{{5, 1, 0}, {5, 2, 0}, {5, 3, 0}}};
  const QByteArray body = test::BuildAccurateRipAnswer(disc_, good);
  AccurateRipDiscId other = disc_;
  other.id2 ^= 0x100u;
  const AccurateRipDiscId twoTracks = MakeAccurateRipDiscId(std::span(lbas_, 2), 40000);
  const struct {
    const char* what;
    QByteArray body;
  } bodies[] = {
      {"empty", {}},
      {"ends inside an entry", body + body.left(body.size() - 1)},
      {"ends inside a header", body + body.left(5)},
      {"a header for another disc after a good one", body + test::BuildAccurateRipAnswer(other, good)},
      {"another track count", test::BuildAccurateRipAnswer(twoTracks, {{{5, 1, 0}, {5, 2, 0}}})},
      {"a response with too few entries", test::BuildAccurateRipAnswer(disc_, {{{5, 1, 0}, {5, 2, 0}}, good[0]})},
  };
  for (const auto& bad : bodies) {
    SCOPED_TRACE(bad.what);
    const AccurateRipAnswer answer = ParseAccurateRipAnswer(bad.body, disc_);
    EXPECT_EQ(answer.status, AccurateRipStatus::Discarded);
    EXPECT_TRUE(answer.responses.empty());
    EXPECT_EQ(answer.For(0, 1, 1), (AccurateRipVerdict{Kind::NotInDatabase, 0}));
  }
  EXPECT_EQ(ParseAccurateRipAnswer(body + body, disc_).responses.size(), 2u);
}

TEST(AccurateRipVerdict, Texts) {
  EXPECT_EQ(AccurateRipVerdictText({Kind::Accurate, 12}), QStringLiteral("Accurately ripped (confidence 12)"));
  EXPECT_EQ(AccurateRipVerdictText({Kind::NotAccurate, 4}), QStringLiteral("Not accurate"));
  EXPECT_EQ(AccurateRipVerdictText({Kind::NotInDatabase, 0}), QStringLiteral("Not in database"));
  EXPECT_EQ(AccurateRipVerdictText({Kind::Unreachable, 0}), QStringLiteral("Database unreachable"));
  EXPECT_EQ(AccurateRipSummaryText(11, 12), QStringLiteral("AccurateRip: 11 of 12 tracks accurate"));
  const AccurateRipAnswer unreachable{AccurateRipStatus::Unreachable, {}};
  EXPECT_EQ(unreachable.For(0, 1, 2).kind, Kind::Unreachable);
  EXPECT_EQ(AccurateRipAnswer{}.For(0, 1, 2).kind, Kind::NotInDatabase) << "not found";
  EXPECT_TRUE(StringTable::DuplicateIds().isEmpty());
}

}  // namespace
}  // namespace corvane
