// The track checksums against a second implementation written in Python from the published
// description, on generated noise fed in pieces of every shape.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "components/accuraterip/AccurateRipChecksum.h"
#include "support/AccurateRipReference.h"
#include "support/ToolRunner.h"

namespace corvane {
namespace {

constexpr int kSectorFrames = 588;

using Sums = test::ReferenceSums;

Sums Reference(const QByteArray& pcm, bool first, bool last) { return test::ReferenceAccurateRip(pcm, first, last); }

QByteArray Noise(int frames, unsigned seed) {
  std::mt19937 random(seed);
  QByteArray pcm(qsizetype{frames} * 4, Qt::Uninitialized);
  for (char& byte : pcm) byte = static_cast<char>(random() & 0xffu);
  return pcm;
}

// Feeds `pcm` in pieces whose sizes cycle through `pieces`.
void Feed(AccurateRipChecksum& sums, const QByteArray& pcm, const std::vector<int>& pieces) {
  qsizetype at = 0;
  for (size_t i = 0; at < pcm.size(); ++i) {
    const qsizetype size = std::min<qsizetype>(pieces[i % pieces.size()], pcm.size() - at);
    sums.Consume(pcm.constData() + at, size);
    at += size;
  }
}

Sums Of(const AccurateRipChecksum& sums) { return {sums.V1(), sums.V2(), sums.Crc32()}; }

struct Track {
  const char* name;
  int frames;
  bool first;
  bool last;
  std::vector<int> pieces;  // bytes
};

class ChecksumTest : public testing::TestWithParam<Track> {};

TEST_P(ChecksumTest, AgreesWithTheReference) {
  const Track& track = GetParam();
  const QByteArray pcm = Noise(track.frames, static_cast<unsigned>(track.frames));
  AccurateRipChecksum sums(track.frames, track.first, track.last);
  Feed(sums, pcm, track.pieces);
  const Sums reference = Reference(pcm, track.first, track.last);
  EXPECT_EQ(Of(sums), reference);
  EXPECT_EQ(sums.Frames(), track.frames);
  EXPECT_TRUE(sums.Complete());
  // Going back to the start after a false start gives the same sums.
  sums.Restart();
  Feed(sums, Noise(1000, 1).left(3998), {4001});
  sums.Restart();
  Feed(sums, pcm, {2352});
  EXPECT_EQ(Of(sums), reference);
  EXPECT_TRUE(sums.Complete());
}

INSTANTIATE_TEST_SUITE_P(Tracks, ChecksumTest,
                         testing::Values(Track{"Middle", 12 * kSectorFrames, false, false, {2352}},
                                         Track{"First", 12 * kSectorFrames + 17, true, false, {2352 * 3}},
                                         Track{"Last", 12 * kSectorFrames + 3, false, true, {1, 3, 5, 7, 2351, 6}},
                                         Track{"OnlyTrack", 15 * kSectorFrames, true, true, {999, 4, 2}},
                                         Track{"WholeTrackInOnePiece", 7 * kSectorFrames, false, true, {1 << 30}}),
                         [](const testing::TestParamInfo<Track>& track) { return std::string(track.param.name); });

// Tracks that the skipped regions cover whole: nothing is summed, the CRC still covers them.
TEST(AccurateRipChecksum, TracksShorterThanTheSkippedRegionGiveZero) {
  const struct {
    int frames;
    bool first;
    bool last;
  } tracks[] = {
      {5 * kSectorFrames - 2, true, false}, {5 * kSectorFrames, false, true}, {10 * kSectorFrames - 2, true, true}};
  for (const auto& track : tracks) {
    SCOPED_TRACE(track.frames);
    const QByteArray pcm = Noise(track.frames, 7);
    AccurateRipChecksum sums(track.frames, track.first, track.last);
    Feed(sums, pcm, {2352});
    const Sums reference = Reference(pcm, track.first, track.last);
    EXPECT_EQ(Of(sums), reference);
    EXPECT_EQ(reference.v1, 0u);
    EXPECT_EQ(reference.v2, 0u);
    EXPECT_NE(reference.crc, 0u);
    EXPECT_TRUE(sums.Complete());
  }
}

TEST(AccurateRipChecksum, CompleteOnlyForTheWholeTrackUnbroken) {
  const int frames = 2 * kSectorFrames;
  const QByteArray pcm = Noise(frames, 3);
  AccurateRipChecksum sums(frames, false, false);
  Feed(sums, pcm.left(pcm.size() - 4), {2352});
  EXPECT_FALSE(sums.Complete()) << "a frame short";
  sums.Consume(pcm.constData() + pcm.size() - 4, 3);
  EXPECT_FALSE(sums.Complete()) << "inside the last frame";
  EXPECT_EQ(sums.Frames(), frames - 1);
  sums.Consume(pcm.constData() + pcm.size() - 1, 1);
  EXPECT_TRUE(sums.Complete());
  sums.Consume(pcm.constData(), 2);
  EXPECT_FALSE(sums.Complete()) << "half a frame more than the track has";
  sums.Restart();
  Feed(sums, pcm, {2352});
  sums.Break();
  EXPECT_FALSE(sums.Complete()) << "broken";
  sums.Restart();
  Feed(sums, pcm, {2352});
  EXPECT_TRUE(sums.Complete()) << "a restart mends a break";
}

}  // namespace
}  // namespace corvane
