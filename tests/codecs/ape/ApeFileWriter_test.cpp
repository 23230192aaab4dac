// The file around the coded audio, read back by an independent parser: descriptor and
// header fields, seek table, frame CRCs and the MD5, plus the interface's failure codes.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>

#include "ApeTestSupport.h"
#include "support/SourceFixtures.h"

namespace corvane::ape::test {
namespace {

std::uint32_t Le(const QByteArray& b, qsizetype at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
  return v;
}

std::uint32_t Be32(const QByteArray& b, qsizetype at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
  return v;
}

// Bitwise CRC-32 (reflected 0xEDB88320), written here so the check owes nothing to the encoder.
std::uint32_t Crc32(const char* data, qsizetype size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (qsizetype i = 0; i < size; ++i) {
    crc ^= static_cast<std::uint8_t>(data[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

using corvane::test::ReadAll;

// Checks every field of a file that holds `pcm` coded at `level` with `blocksPerFrame`.
void ExpectWellFormed(const QByteArray& file, const Pcm& pcm, int level, std::uint32_t blocksPerFrame) {
  ASSERT_GE(file.size(), 76 + 4 + 12);
  EXPECT_EQ(file.left(4), QByteArray("MAC "));
  EXPECT_EQ(Le(file, 4, 2), 3990u);
  EXPECT_EQ(Le(file, 8, 4), 52u);
  EXPECT_EQ(Le(file, 12, 4), 24u);
  const std::uint32_t seekBytes = Le(file, 16, 4);
  EXPECT_EQ(Le(file, 20, 4), 0u);  // no stored WAV header
  const std::uint64_t dataBytes = Le(file, 24, 4) | (static_cast<std::uint64_t>(Le(file, 28, 4)) << 32);
  EXPECT_EQ(Le(file, 32, 4), 0u);  // no trailing WAV data

  const std::uint32_t frames = Le(file, 64, 4);
  const std::uint64_t blocks = pcm.Blocks();
  EXPECT_EQ(Le(file, 52, 2), static_cast<std::uint32_t>(level));
  EXPECT_EQ(Le(file, 54, 2), 32u);
  EXPECT_EQ(Le(file, 56, 4), blocksPerFrame);
  EXPECT_EQ(frames, (blocks + blocksPerFrame - 1) / blocksPerFrame);
  EXPECT_EQ(Le(file, 60, 4), blocks - (frames - 1) * static_cast<std::uint64_t>(blocksPerFrame));
  EXPECT_EQ(Le(file, 68, 2), pcm.format.bits_per_sample);
  EXPECT_EQ(Le(file, 70, 2), pcm.format.channels);
  EXPECT_EQ(Le(file, 72, 4), pcm.format.samples_per_sec);
  ASSERT_EQ(seekBytes, 4 * frames);

  const qsizetype first = 76 + seekBytes;
  ASSERT_EQ(static_cast<std::uint64_t>(file.size() - first), dataBytes);
  EXPECT_EQ(dataBytes % 4, 0u);

  QCryptographicHash md5(QCryptographicHash::Md5);
  md5.addData(file.mid(first));
  md5.addData(file.mid(52, 24 + seekBytes));
  EXPECT_EQ(file.mid(36, 16).toHex(), md5.result().toHex());

  // Undo the word swap to get the bytes in decoding order, then check each frame's CRC.
  QByteArray stream = file.mid(first);
  for (qsizetype i = 0; i + 3 < stream.size(); i += 4) {
    std::swap(stream[i], stream[i + 3]);
    std::swap(stream[i + 1], stream[i + 2]);
  }
  std::uint32_t previous = 0;
  for (std::uint32_t f = 0; f < frames; ++f) {
    const std::uint32_t entry = Le(file, 76 + 4 * f, 4);
    if (f == 0) {
      EXPECT_EQ(entry, static_cast<std::uint32_t>(first));
    }
    EXPECT_GT(entry, previous);
    previous = entry;
    const qsizetype offset = entry - first;
    ASSERT_LE(offset + 9, stream.size());
    const std::uint64_t frameBlocks = f + 1 < frames ? blocksPerFrame : Le(file, 60, 4);
    const qsizetype pcmStart = static_cast<qsizetype>(f) * blocksPerFrame * pcm.format.block_align;
    const qsizetype pcmSize = static_cast<qsizetype>(frameBlocks) * pcm.format.block_align;
    const std::uint32_t field = Be32(stream, offset);
    EXPECT_EQ(field & 0x7FFFFFFFu, Crc32(pcm.bytes.constData() + pcmStart, pcmSize) >> 1) << "frame " << f;
    if (field & 0x80000000u) {
      const std::uint32_t flags = Be32(stream, offset + 4);
      EXPECT_TRUE(flags == 1 || (pcm.format.channels == 2 && (flags == 3 || flags == 4))) << flags;
    }
  }
}

class ApeFileLayout : public ::testing::Test {
 protected:
  QString PathOf(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

TEST_F(ApeFileLayout, SilentMonoFileMatchesTheKnownBytes) {
  Pcm pcm{MakeWaveFormat(44100, 1, 16), QByteArray(6, '\0')};
  ASSERT_EQ(EncodeFile(PathOf("a.ape"), pcm, 2000), ApeResult::kOk);
  const QByteArray file = ReadAll(PathOf("a.ape"));
  const QByteArray expected = QByteArray::fromHex(
      "4d414320960f0000340000001800000004000000000000001000000000000000"
      "0000000000000000000000000000000000000000d00720000020010003000000"
      "010000001000010044ac000050000000d150e1d8010000000000010000000000");
  ASSERT_EQ(file.size(), expected.size());
  EXPECT_EQ(file.left(36).toHex(), expected.left(36).toHex());
  EXPECT_EQ(file.mid(52).toHex(), expected.mid(52).toHex());
  ExpectWellFormed(file, pcm, 2000, 73728);
}

TEST_F(ApeFileLayout, StereoFrameMatchesTheKnownBytes) {
  Pcm pcm{MakeWaveFormat(44100, 2, 16), {}};
  for (int v : {1000, -1000, 2000, 0, -3000, 3000, 32767, -32768}) {
    pcm.bytes.append(static_cast<char>(v & 0xFF));
    pcm.bytes.append(static_cast<char>((v >> 8) & 0xFF));
  }
  ASSERT_EQ(EncodeFile(PathOf("b.ape"), pcm, 1000), ApeResult::kOk);
  const QByteArray file = ReadAll(PathOf("b.ape"));
  EXPECT_EQ(file.mid(80).toHex(), QByteArray("b5f818668066fd00ea41d923f5e31ef7123ccc68f30b09000000cfc400000000"));
  ExpectWellFormed(file, pcm, 1000, 73728);
}

TEST_F(ApeFileLayout, ManyFramesCarryCrcsSeekTableAndChecksum) {
  const StereoSignal noise = Noise(5000);
  struct Case {
    int channels, bits, level;
    std::uint32_t blocks_per_frame;
  };
  for (const Case c : {Case{2, 16, 2000, 1000}, Case{1, 8, 3000, 333}, Case{2, 8, 1000, 1}, Case{1, 16, 5000, 4999},
                       Case{2, 16, 4000, 5000}}) {
    SCOPED_TRACE(testing::Message() << c.channels << "ch " << c.bits << "bit level " << c.level);
    const Pcm pcm = Convert(noise, c.channels, c.bits);
    const QString path = PathOf(QString("n%1.ape").arg(c.blocks_per_frame));
    ASSERT_EQ(EncodeFile(path, pcm, c.level, c.blocks_per_frame), ApeResult::kOk);
    ExpectWellFormed(ReadAll(path), pcm, c.level, c.blocks_per_frame);
    EXPECT_EQ(DecodeWithFfmpeg(path, c.bits), pcm.bytes);
  }
}

TEST_F(ApeFileLayout, LengthHintOnlySizesTheSeekTable) {
  // A right, a too small and a too large hint give the same file.
  const Pcm pcm = Convert(Sweep(20000), 2, 16);
  QByteArray reference;
  for (const std::int64_t hint :
       {kOpenEndedLength, std::int64_t{pcm.bytes.size()}, std::int64_t{100}, std::int64_t{pcm.bytes.size()} * 50}) {
    SCOPED_TRACE(hint);
    const QString path = PathOf("hint.ape");
    ASSERT_EQ(EncodeFile(path, pcm, 2000, 700, hint), ApeResult::kOk);
    const QByteArray file = ReadAll(path);
    ExpectWellFormed(file, pcm, 2000, 700);
    if (reference.isEmpty()) reference = file;
    EXPECT_EQ(file, reference);
  }
  EXPECT_EQ(DecodeWithFfmpeg(PathOf("hint.ape"), 16), pcm.bytes);
}

TEST_F(ApeFileLayout, EmptyStreamFailsAndLeavesNoFile) {
  const WaveFormat format = MakeWaveFormat(44100, 2, 16);
  const std::string path = PathOf("empty.ape").toStdString();
  for (const QByteArray& data : {QByteArray(), QByteArray(3, '\x10')}) {
    ApeCompressor* c = CompressCreate(nullptr);
    ASSERT_EQ(CompressStart(c, path.c_str(), &format, kOpenEndedLength, 3000), ApeResult::kOk);
    EXPECT_EQ(CompressAddData(c, reinterpret_cast<const unsigned char*>(data.constData()), data.size()),
              ApeResult::kOk);
    EXPECT_EQ(CompressFinish(c), ApeResult::kEmptyStream);
    EXPECT_FALSE(QFileInfo::exists(PathOf("empty.ape")));
    EXPECT_EQ(CompressAddData(c, reinterpret_cast<const unsigned char*>("abcd"), 4), ApeResult::kFailedEarlier);
    CompressDestroy(c);
  }
}

TEST_F(ApeFileLayout, TrailingPartialBlockIsDropped) {
  Pcm pcm = Convert(Sweep(1001), 2, 16);
  const QByteArray whole = pcm.bytes;
  pcm.bytes.append("\x01\x02\x03", 3);
  ASSERT_EQ(EncodeFile(PathOf("partial.ape"), pcm, 2000), ApeResult::kOk);
  EXPECT_EQ(DecodeWithFfmpeg(PathOf("partial.ape"), 16), whole);
}

TEST_F(ApeFileLayout, UnfinishedFileIsRemovedWhenTheCompressorIsDestroyed) {
  const Pcm pcm = Convert(Noise(1000), 2, 16);
  const std::string path = PathOf("stopped.ape").toStdString();
  ApeCompressor* compressor = CompressCreate(nullptr);
  ASSERT_NE(compressor, nullptr);
  ASSERT_EQ(CompressStart(compressor, path.c_str(), &pcm.format, kOpenEndedLength, 2000), ApeResult::kOk);
  ASSERT_EQ(
      CompressAddData(compressor, reinterpret_cast<const unsigned char*>(pcm.bytes.constData()), pcm.bytes.size()),
      ApeResult::kOk);
  EXPECT_TRUE(QFileInfo::exists(PathOf("stopped.ape")));
  CompressDestroy(compressor);
  EXPECT_FALSE(QFileInfo::exists(PathOf("stopped.ape")));
}

TEST_F(ApeFileLayout, NonAsciiPathAndExistingFileAreHandled) {
  const QString path = PathOf("Zoë – ドラム.ape");
  ASSERT_TRUE(corvane::test::WriteAll(path, QByteArray(100000, 'x')));
  const Pcm pcm = Convert(Square(3000), 1, 16);
  ASSERT_EQ(EncodeFile(path, pcm, 4000), ApeResult::kOk);
  ExpectWellFormed(ReadAll(path), pcm, 4000, 294912);
  EXPECT_EQ(DecodeWithFfmpeg(path, 16), pcm.bytes);
}

// A full disk, imitated with a file size limit: the failure is reported and the broken
// file removed, whether it happens while streaming or while finishing.
TEST_F(ApeFileLayout, WriteFailureIsReportedAndLeavesNoFile) {
  const Pcm pcm = Convert(Noise(60000), 2, 16);
  ASSERT_EQ(EncodeFile(PathOf("full.ape"), pcm, 1000, 4096), ApeResult::kOk);
  const auto finishedSize = static_cast<rlim_t>(QFileInfo(PathOf("full.ape")).size());
  ASSERT_TRUE(QFile::remove(PathOf("full.ape")));
  rlimit original{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  for (const rlim_t limit : {rlim_t{20000}, finishedSize - 1}) {
    SCOPED_TRACE(limit);
    rlimit small = original;
    small.rlim_cur = limit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ApeResult result = EncodeFile(PathOf("full.ape"), pcm, 1000, 4096);
    setrlimit(RLIMIT_FSIZE, &original);
    EXPECT_TRUE(result == ApeResult::kWriteFailed || result == ApeResult::kFailedEarlier) << static_cast<int>(result);
    EXPECT_FALSE(QFileInfo::exists(PathOf("full.ape")));
  }
  std::signal(SIGXFSZ, previousHandler);
}

TEST_F(ApeFileLayout, BadCallsGiveClearCodes) {
  EXPECT_EQ(GetInterfaceCompatibility(3990), ApeResult::kOk);
  EXPECT_EQ(GetInterfaceCompatibility(3980), ApeResult::kIncompatibleVersion);

  const std::string path = PathOf("bad.ape").toStdString();
  const WaveFormat good = MakeWaveFormat(44100, 2, 16);
  EXPECT_EQ(CompressStart(nullptr, path.c_str(), &good, -1, 2000), ApeResult::kInvalidArgument);
  EXPECT_EQ(CompressAddData(nullptr, nullptr, 0), ApeResult::kInvalidArgument);
  EXPECT_EQ(CompressFinish(nullptr), ApeResult::kInvalidArgument);
  CompressDestroy(nullptr);

  ApeCompressor* c = CompressCreate(nullptr);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(CompressAddData(c, nullptr, 0), ApeResult::kNotStarted);
  EXPECT_EQ(CompressFinish(c), ApeResult::kNotStarted);
  EXPECT_EQ(CompressStart(c, path.c_str(), nullptr, -1, 2000), ApeResult::kInvalidArgument);
  EXPECT_EQ(CompressStart(c, "", &good, -1, 2000), ApeResult::kInvalidArgument);
  for (const WaveFormat& bad : {MakeWaveFormat(44100, 2, 24), MakeWaveFormat(44100, 3, 16), MakeWaveFormat(0, 2, 16),
                                WaveFormat{3, 2, 44100, 352800, 8, 32}, WaveFormat{1, 2, 44100, 176400, 2, 16}}) {
    EXPECT_EQ(CompressStart(c, path.c_str(), &bad, -1, 2000), ApeResult::kUnsupportedFormat);
  }
  for (int level : {0, 999, 1500, 6000, -1000})
    EXPECT_EQ(CompressStart(c, path.c_str(), &good, -1, level), ApeResult::kInvalidLevel);
  const std::string missingFolder = PathOf("no/such/folder/x.ape").toStdString();
  EXPECT_EQ(CompressStart(c, missingFolder.c_str(), &good, -1, 2000), ApeResult::kFileOpenFailed);
  EXPECT_FALSE(QFileInfo::exists(PathOf("bad.ape")));

  ASSERT_EQ(CompressStart(c, path.c_str(), &good, -1, 2000), ApeResult::kOk);
  EXPECT_EQ(CompressStart(c, path.c_str(), &good, -1, 2000), ApeResult::kAlreadyStarted);
  EXPECT_EQ(CompressAddData(c, nullptr, 4), ApeResult::kInvalidArgument);
  const unsigned char block[4] = {1, 2, 3, 4};
  EXPECT_EQ(CompressAddData(c, block, -4), ApeResult::kInvalidArgument);
  EXPECT_EQ(CompressAddData(c, block, 4), ApeResult::kOk);
  EXPECT_EQ(CompressFinish(c), ApeResult::kOk);
  EXPECT_EQ(CompressFinish(c), ApeResult::kNotStarted);
  EXPECT_EQ(CompressAddData(c, block, 4), ApeResult::kNotStarted);
  CompressDestroy(c);
  EXPECT_TRUE(QFileInfo::exists(PathOf("bad.ape")));  // a finished file stays
}

}  // namespace
}  // namespace corvane::ape::test
