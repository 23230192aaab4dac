// Frames coded on several threads: the file is the same byte for byte as with one thread at
// every level, whatever the content of the frames and however the data arrives; a
// compressor stopped with frames in flight, or failing to write, leaves no file behind.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>
#include <memory>

#include "ApeTestSupport.h"
#include "codecs/ape/FrameEncoder.h"
#include "support/SourceFixtures.h"

namespace corvane::ape::test {
namespace {

// Encodes through the library interface on `threads` threads, in pieces of `piece` bytes.
ApeResult EncodeOnThreads(const QString& path, const Pcm& pcm, int level, int threads, std::uint32_t blocksPerFrame,
                          std::int64_t piece) {
  ApeCompressor* compressor = CompressCreate(nullptr);
  if (compressor == nullptr) return ApeResult::kOutOfMemory;
  compressor->SetBlocksPerFrame(blocksPerFrame);
  CompressSetThreads(compressor, threads);
  const std::string utf8 = path.toStdString();
  ApeResult result = CompressStart(compressor, utf8.c_str(), &pcm.format, kOpenEndedLength, level);
  const auto* data = reinterpret_cast<const unsigned char*>(pcm.bytes.constData());
  for (std::int64_t done = 0; result == ApeResult::kOk && done < pcm.bytes.size(); done += piece) {
    result = CompressAddData(compressor, data + done, std::min<std::int64_t>(piece, pcm.bytes.size() - done));
  }
  if (result == ApeResult::kOk) result = CompressFinish(compressor);
  CompressDestroy(compressor);
  return result;
}

using corvane::test::ReadAll;

class ApeThreads : public ::testing::TestWithParam<int> {
 protected:
  // Music, silence, noise and a stretch with identical channels, so that neighbouring
  // frames carry different flags and sizes.
  static void SetUpTestSuite() {
    fixtures_ = std::make_unique<QTemporaryDir>();
    const StereoSignal music = Music(fixtures_->path(), 2);
    const StereoSignal parts[] = {music, Silence(9000), Noise(7000, 5), music};
    for (const StereoSignal& part : parts) {
      const std::size_t take = std::min<std::size_t>(part.samples.size(), 2 * 30000);
      mixed_.samples.insert(mixed_.samples.end(), part.samples.begin(),
                            part.samples.begin() + static_cast<std::ptrdiff_t>(take));
    }
    for (std::size_t n = 60000; n < 70000 && n < mixed_.Blocks(); ++n) {
      mixed_.samples[2 * n + 1] = mixed_.samples[2 * n];
    }
  }
  static void TearDownTestSuite() { fixtures_.reset(); }

  static inline std::unique_ptr<QTemporaryDir> fixtures_;
  static inline StereoSignal mixed_;
  QTemporaryDir dir_;
};

TEST_P(ApeThreads, OutputIsIdenticalForOneTwoAndFourThreads) {
  const int level = GetParam();
  struct Layout {
    int channels, bits;
    std::uint32_t blocks_per_frame;
    std::int64_t piece;
  };
  // Frame sizes that do not divide the length, and pieces that split blocks and frames.
  for (const Layout& layout : {Layout{2, 16, 6000, 17641}, Layout{1, 8, 4099, 100003}}) {
    SCOPED_TRACE(testing::Message() << layout.channels << " channel(s), " << layout.bits << " bits");
    const Pcm pcm = Convert(mixed_, layout.channels, layout.bits);
    const QString single = dir_.filePath("one.ape");
    ASSERT_EQ(EncodeOnThreads(single, pcm, level, 1, layout.blocks_per_frame, layout.piece), ApeResult::kOk);
    const QByteArray reference = ReadAll(single);
    ASSERT_GT(reference.size(), 0);
    for (const int threads : {2, 4}) {
      const QString path = dir_.filePath(QString("threads%1.ape").arg(threads));
      ASSERT_EQ(EncodeOnThreads(path, pcm, level, threads, layout.blocks_per_frame, layout.piece), ApeResult::kOk);
      EXPECT_TRUE(ReadAll(path) == reference) << threads << " threads";
    }
    EXPECT_EQ(DecodeWithFfmpeg(dir_.filePath("threads4.ape"), layout.bits), pcm.bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, ApeThreads, ::testing::Values(1000, 2000, 3000, 4000, 5000),
                         [](const auto& level) { return "Level" + std::to_string(level.param); });

TEST(ApeThreadsStop, DestroyingWithFramesInFlightLeavesNoFile) {
  QTemporaryDir dir;
  const Pcm pcm = Convert(Noise(60000), 2, 16);
  const std::string path = dir.filePath("stopped.ape").toStdString();
  ApeCompressor* compressor = CompressCreate(nullptr);
  ASSERT_NE(compressor, nullptr);
  compressor->SetBlocksPerFrame(5000);
  CompressSetThreads(compressor, 3);
  ASSERT_EQ(CompressStart(compressor, path.c_str(), &pcm.format, kOpenEndedLength, 5000), ApeResult::kOk);
  const auto* data = reinterpret_cast<const unsigned char*>(pcm.bytes.constData());
  ASSERT_EQ(CompressAddData(compressor, data, pcm.bytes.size()), ApeResult::kOk);
  CompressDestroy(compressor);
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path)));
}

// What lets a stopped compressor return quickly: a frame encoder told to stop gives up at its
// next part instead of coding the rest of a long frame.
TEST(ApeThreadsStop, FrameEncoderGivesUpWhenTold) {
  const Pcm pcm = Convert(Noise(50000), 2, 16);
  FrameEncoder encoder(5000, 2, 16);
  ByteBuffer whole;
  ASSERT_TRUE(encoder.Encode(reinterpret_cast<const std::uint8_t*>(pcm.bytes.constData()), 50000, whole));
  const std::atomic<bool> stop{true};
  ByteBuffer part;
  EXPECT_FALSE(encoder.Encode(reinterpret_cast<const std::uint8_t*>(pcm.bytes.constData()), 50000, part, &stop));
  EXPECT_LT(part.size(), whole.size() / 4);
}

// A full disk, imitated with a file size limit, while several frames are in flight.
TEST(ApeThreadsStop, WriteFailureIsReportedAndLeavesNoFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("full.ape");
  const Pcm pcm = Convert(Noise(60000), 2, 16);
  rlimit original{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = original;
  small.rlim_cur = 30000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const ApeResult result = EncodeOnThreads(path, pcm, 1000, 3, 2048, 10000);
  setrlimit(RLIMIT_FSIZE, &original);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_TRUE(result == ApeResult::kWriteFailed || result == ApeResult::kFailedEarlier) << static_cast<int>(result);
  EXPECT_FALSE(QFileInfo::exists(path));
}

}  // namespace
}  // namespace corvane::ape::test
