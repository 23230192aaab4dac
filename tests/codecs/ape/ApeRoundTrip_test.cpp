// Every file the encoder writes must decode bit-exactly with ffmpeg (frame CRC checking on)
// to the samples that were fed: every level, mono and stereo, 8 and 16 bits, for a range of
// signals and for lengths that end with a short or an exactly full frame.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

#include "ApeTestSupport.h"

namespace corvane::ape::test {
namespace {

struct Layout {
  int channels;
  int bits;
};
constexpr Layout kLayouts[] = {{1, 8}, {1, 16}, {2, 8}, {2, 16}};

class ApeRoundTrip : public ::testing::TestWithParam<int> {
 protected:
  static void SetUpTestSuite() {
    fixtures_ = std::make_unique<QTemporaryDir>();
    speech_ = Speech(fixtures_->path());
    music_ = Music(fixtures_->path(), 2);
    music_.samples.resize(std::min<std::size_t>(music_.samples.size(), 2 * 110250));  // 2.5 s
  }
  static void TearDownTestSuite() { fixtures_.reset(); }

  int Level() const { return GetParam(); }

  // Encodes the signal in every layout (or only those given) and compares ffmpeg's output.
  void ExpectRoundTrip(const StereoSignal& signal, std::uint32_t blocksPerFrame = 0,
                       std::initializer_list<Layout> layouts = {}) {
    ASSERT_GT(signal.Blocks(), 0u);
    const std::vector<Layout> chosen = layouts.size() != 0
                                           ? std::vector<Layout>(layouts)
                                           : std::vector<Layout>(std::begin(kLayouts), std::end(kLayouts));
    for (const Layout& layout : chosen) {
      SCOPED_TRACE(testing::Message() << layout.channels << " channel(s), " << layout.bits << " bits, "
                                      << signal.Blocks() << " blocks");
      const Pcm pcm = Convert(signal, layout.channels, layout.bits);
      const QString path = dir_.filePath("out.ape");
      ASSERT_EQ(EncodeFile(path, pcm, Level(), blocksPerFrame), ApeResult::kOk);
      const auto decoded = DecodeWithFfmpeg(path, layout.bits);
      ASSERT_TRUE(decoded.has_value()) << "ffmpeg refused the file";
      ASSERT_EQ(decoded->size(), pcm.bytes.size());
      EXPECT_TRUE(*decoded == pcm.bytes) << "decoded samples differ";
    }
  }

  std::uint32_t FrameBlocks() const { return ApeCompressor::DefaultBlocksPerFrame(Level()); }

  static inline std::unique_ptr<QTemporaryDir> fixtures_;
  static inline StereoSignal speech_;
  static inline StereoSignal music_;
  QTemporaryDir dir_;
};

TEST_P(ApeRoundTrip, Silence) { ExpectRoundTrip(Silence(20000)); }

TEST_P(ApeRoundTrip, FullScaleSquareWaves) { ExpectRoundTrip(Square(30000)); }

TEST_P(ApeRoundTrip, SineSweeps) { ExpectRoundTrip(Sweep(44100)); }

TEST_P(ApeRoundTrip, WhiteNoise) { ExpectRoundTrip(Noise(20000)); }

TEST_P(ApeRoundTrip, Speech) { ExpectRoundTrip(speech_); }

TEST_P(ApeRoundTrip, Music) { ExpectRoundTrip(music_); }

TEST_P(ApeRoundTrip, OneSample) {
  StereoSignal one;
  one.samples = {-12345, 23456};
  ExpectRoundTrip(one);
}

TEST_P(ApeRoundTrip, IdenticalAndHalfSilentChannels) {
  StereoSignal identical = speech_;
  StereoSignal halfSilent = music_;
  for (std::size_t n = 0; n < identical.Blocks(); ++n) identical.samples[2 * n + 1] = identical.samples[2 * n];
  for (std::size_t n = 0; n < halfSilent.Blocks(); ++n) halfSilent.samples[2 * n] = 0;
  ExpectRoundTrip(identical, 0, {{2, 8}, {2, 16}});
  ExpectRoundTrip(halfSilent, 0, {{2, 8}, {2, 16}});
}

// Silence, noise and music alternating between frames, with small frames so that frames
// start at every byte alignment and flags change from frame to frame.
TEST_P(ApeRoundTrip, ManySmallFramesOfChangingContent) {
  StereoSignal mixed;
  const StereoSignal noise = Noise(3000, 99);
  for (int part = 0; part < 6; ++part) {
    const auto& source = part % 3 == 0 ? Silence(3000).samples : part % 3 == 1 ? noise.samples : music_.samples;
    mixed.samples.insert(mixed.samples.end(), source.begin(), source.begin() + 6000);
  }
  ExpectRoundTrip(mixed, 1024, {{1, 16}, {2, 16}});
}

// Lengths measured in the level's own frames: one block past a frame boundary, a short
// last frame, and the last frame filled exactly. A frame of the top levels holds many
// seconds of audio, so there the cases run in one layout each.
TEST_P(ApeRoundTrip, LastFrameShortOrExactlyFull) {
  const std::size_t frame = FrameBlocks();
  StereoSignal source = music_;
  while (source.Blocks() < 2 * frame) {
    source.samples.insert(source.samples.end(), music_.samples.begin(), music_.samples.end());
  }
  auto cut = [&](std::size_t blocks) {
    StereoSignal part = source;
    part.samples.resize(2 * blocks);
    return part;
  };
  if (frame > 100000) {
    ExpectRoundTrip(cut(frame + 1), 0, {{1, 8}});
    ExpectRoundTrip(cut(frame), 0, {{2, 16}});
    return;
  }
  for (const std::size_t blocks : {frame + 1, frame + frame / 3, 2 * frame}) ExpectRoundTrip(cut(blocks));
}

INSTANTIATE_TEST_SUITE_P(Levels, ApeRoundTrip, ::testing::Values(1000, 2000, 3000, 4000, 5000),
                         [](const auto& level) { return "Level" + std::to_string(level.param); });

}  // namespace
}  // namespace corvane::ape::test
