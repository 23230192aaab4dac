// Compression on music-like material (a MIDI song rendered by timidity): every level from
// 2000 up beats `flac -8`, and no level is larger than the one below it.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <map>

#include "ApeTestSupport.h"
#include "support/SourceFixtures.h"

namespace corvane::ape::test {
namespace {

void Put32(QByteArray& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

QByteArray WavFile(const Pcm& pcm) {
  QByteArray wav("RIFF", 4);
  Put32(wav, static_cast<std::uint32_t>(36 + pcm.bytes.size()));
  wav.append("WAVEfmt ", 8);
  Put32(wav, 16);
  Put32(wav, pcm.format.format_tag | (static_cast<std::uint32_t>(pcm.format.channels) << 16));
  Put32(wav, pcm.format.samples_per_sec);
  Put32(wav, pcm.format.avg_bytes_per_sec);
  Put32(wav, pcm.format.block_align | (static_cast<std::uint32_t>(pcm.format.bits_per_sample) << 16));
  wav.append("data", 4);
  Put32(wav, static_cast<std::uint32_t>(pcm.bytes.size()));
  return wav + pcm.bytes;
}

TEST(ApeCompression, LevelsBeatFlacAndNeverGrow) {
  QTemporaryDir dir;
  const Pcm pcm = Convert(Music(dir.path(), 2), 2, 16);
  ASSERT_GT(pcm.Blocks(), 44100u * 3);
  const QString wavPath = dir.filePath("song.wav");
  ASSERT_TRUE(corvane::test::WriteAll(wavPath, WavFile(pcm)));
  const QString flacPath = dir.filePath("song.flac");
  corvane::test::RunTool("flac", {"-s", "-f", "-8", "-o", flacPath, wavPath});
  const double flacBytes = static_cast<double>(QFileInfo(flacPath).size());
  const double wavBytes = static_cast<double>(QFileInfo(wavPath).size());
  ASSERT_GT(flacBytes, 0);

  std::map<int, qint64> sizes;
  std::printf("WAV %.0f bytes, flac -8 %.0f bytes\nlevel  bytes     to WAV  to flac -8\n", wavBytes, flacBytes);
  for (int level = 1000; level <= 5000; level += 1000) {
    const QString path = dir.filePath(QString("song%1.ape").arg(level));
    ASSERT_EQ(EncodeFile(path, pcm, level), ApeResult::kOk);
    sizes[level] = QFileInfo(path).size();
    std::printf("%5d  %8lld  %6.4f  %6.4f\n", level, static_cast<long long>(sizes[level]), sizes[level] / wavBytes,
                sizes[level] / flacBytes);
    if (level >= 2000) {
      EXPECT_LT(sizes[level], flacBytes) << "level " << level;
      EXPECT_LE(sizes[level], sizes[level - 1000]) << "level " << level;
    }
  }
  EXPECT_EQ(DecodeWithFfmpeg(dir.filePath("song5000.ape"), 16), pcm.bytes);
}

}  // namespace
}  // namespace corvane::ape::test
