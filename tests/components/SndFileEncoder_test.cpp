// The WAV writer's 4 GiB guard. Hours of audio are stood in for by growing the file sparsely
// under the writer, which sees the size it has reached through its own descriptor.
#include "components/SndFileEncoder.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

#include "components/ConverterError.h"

using namespace corvane;

namespace {

constexpr long long kFourGiB = 0x100000000LL;

TEST(SndFileEncoder, AWavThatWouldPassFourGibFailsInsteadOfWrappingItsHeader) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("long.wav"));
  const std::vector<std::int16_t> second(2 * 44100, 1000);
  SndFileEncoder encoder(path, SndFileKind::WavPcm16, 44100, 2);
  encoder.Write(second);
  ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), kFourGiB - 100000), 0);
  try {
    encoder.Write(second);
    FAIL() << "a WAV past 4 GiB was written";
  } catch (const ConverterError& error) {
    EXPECT_EQ(error.Code(), ConverterErrorCode::WriteFailed);
    EXPECT_NE(std::string(error.what()).find("4 GiB"), std::string::npos) << error.what();
  }
}

TEST(SndFileEncoder, VoxHasNoHeaderAndSoNoSuchLimit) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("long.vox"));
  const std::vector<std::int16_t> second(8000, 1000);
  SndFileEncoder encoder(path, SndFileKind::VoxAdpcm, 8000, 1);
  encoder.Write(second);
  ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), kFourGiB - 100), 0);
  EXPECT_NO_THROW(encoder.Write(second));
}

}  // namespace
