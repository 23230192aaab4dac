// What the probe finds in a disc image's data files: WAVE headers of every shape real writers
// leave (odd chunks, extensible format, big-endian RIFX, a data size never filled in), audio
// that is no CD audio, and files FFmpeg decodes.
#include "discimage/ImageFileProbe.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "discimage/WaveHeader.h"
#include "support/SourceFixtures.h"
#include "support/ToolRunner.h"

namespace corvane {
namespace {

using Problem = ImageFileFacts::Problem;

struct WaveCase {
  const char* name;
  QByteArray bytes;
  Problem problem;
  ImageFileKind kind;
  qint64 audio_offset;
  qint64 audio_bytes;
};

QByteArray Number(quint32 value, int width, bool bigEndian = false) {
  QByteArray bytes;
  for (int i = 0; i < width; ++i) {
    const int shift = bigEndian ? (width - 1 - i) * 8 : i * 8;
    bytes.append(static_cast<char>((value >> shift) & 0xff));
  }
  return bytes;
}

// A WAVE file: `format` tag, rate and bits, chunks before the data chunk, `data` bytes of audio
// with the data chunk claiming `claimed` bytes.
QByteArray Wave(int tag, quint32 rate, int bits, const QByteArray& before, int data, quint32 claimed,
                bool bigEndian = false) {
  const auto n = [bigEndian](quint32 value, int width) { return Number(value, width, bigEndian); };
  QByteArray format = n(tag, 2) + n(2, 2) + n(rate, 4) + n(rate * 4, 4) + n(4, 2) + n(bits, 2);
  if (tag == 0xfffe)  // cbSize, valid bits, channel mask, then the PCM sub-format GUID
    format += n(22, 2) + n(16, 2) + n(3, 4) +
              QByteArray("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 16);
  const QByteArray body =
      "WAVEfmt " + n(format.size(), 4) + format + before + "data" + n(claimed, 4) + QByteArray(data, '\x11');
  return (bigEndian ? "RIFX" : "RIFF") + n(body.size(), 4) + body;
}

const QByteArray kOddChunk = QByteArray("LIST") + Number(3, 4) + QByteArray("abc\0", 4);

class WaveHeaderTest : public testing::TestWithParam<WaveCase> {};

TEST_P(WaveHeaderTest, FindsTheAudioOrSaysWhy) {
  const WaveCase& c = GetParam();
  const auto read = [&c](qint64 offset, qint64 length) { return c.bytes.mid(offset, length); };
  const std::optional<ImageFileFacts> facts = ReadWaveHeader(c.bytes.size(), read);
  ASSERT_TRUE(facts.has_value());
  EXPECT_EQ(facts->problem, c.problem);
  if (c.problem != Problem::None) return;
  EXPECT_EQ(facts->kind, c.kind);
  EXPECT_EQ(facts->audio_offset, c.audio_offset);
  EXPECT_EQ(facts->audio_bytes, c.audio_bytes);
  EXPECT_EQ(facts->samples, c.audio_bytes / 4);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, WaveHeaderTest,
    testing::Values(
        WaveCase{"plain", Wave(1, 44100, 16, {}, 400, 400), Problem::None, ImageFileKind::Wave, 44, 400},
        WaveCase{"odd_chunk", Wave(1, 44100, 16, kOddChunk, 400, 400), Problem::None, ImageFileKind::Wave, 56, 400},
        WaveCase{"extensible", Wave(0xfffe, 44100, 16, {}, 400, 400), Problem::None, ImageFileKind::Wave, 68, 400},
        WaveCase{"rifx", Wave(1, 44100, 16, {}, 400, 400, true), Problem::None, ImageFileKind::Motorola, 44, 400},
        WaveCase{"size_never_set", Wave(1, 44100, 16, {}, 402, 0xffffffff), Problem::None, ImageFileKind::Wave, 44,
                 400},
        WaveCase{"rate_48000", Wave(1, 48000, 16, {}, 400, 400), Problem::NotCdAudio},
        WaveCase{"bits_24", Wave(1, 44100, 24, {}, 400, 400), Problem::NotCdAudio},
        WaveCase{"float", Wave(3, 44100, 16, {}, 400, 400), Problem::NotCdAudio},
        WaveCase{"no_data", Wave(1, 44100, 16, {}, 0, 0).left(36), Problem::Unreadable}),
    [](const testing::TestParamInfo<WaveCase>& tested) { return std::string(tested.param.name); });

TEST(WaveHeader, AnythingElseIsNoWaveFile) {
  for (const QByteArray& bytes : {QByteArray("fLaC\0\0\0\x22", 8), QByteArray("RIFF\4\0\0\0AVI "), QByteArray()}) {
    const auto read = [&bytes](qint64 offset, qint64 length) { return bytes.mid(offset, length); };
    EXPECT_FALSE(ReadWaveHeader(bytes.size(), read).has_value()) << bytes.toHex().constData();
  }
}

// Files FFmpeg decodes, made by sox: CD audio is taken with its exact length, anything else is
// refused as no CD audio; raw files go by the type the description declares.
TEST(ImageFileProbe, DecodedAndRawFilesByTheirContentAndType) {
  QTemporaryDir dir;
  const QString cd = dir.filePath(QStringLiteral("cd.flac"));
  const QString hiRes = dir.filePath(QStringLiteral("hires.flac"));
  const QString mono = dir.filePath(QStringLiteral("mono.flac"));
  for (const auto& [path, rate, bits, channels] :
       {std::tuple{cd, "44100", "16", "2"}, std::tuple{hiRes, "96000", "24", "2"},
        std::tuple{mono, "44100", "16", "1"}})
    test::ToolOutput(QStringLiteral("sox"),
                     {QStringLiteral("-n"), QStringLiteral("-r"), QLatin1String(rate), QStringLiteral("-b"),
                      QLatin1String(bits), QStringLiteral("-c"), QLatin1String(channels), path, QStringLiteral("synth"),
                      QStringLiteral("0.25"), QStringLiteral("sine"), QStringLiteral("440")});
  const ImageFileFacts flac = ProbeImageFile(cd, QStringLiteral("WAVE"));
  EXPECT_EQ(flac.problem, Problem::None);
  EXPECT_EQ(flac.kind, ImageFileKind::Decoded);
  EXPECT_EQ(flac.samples, test::DecodeWithFfmpeg(cd).size() / 4);
  EXPECT_EQ(ProbeImageFile(hiRes, QStringLiteral("FLAC")).problem, Problem::NotCdAudio);
  EXPECT_EQ(ProbeImageFile(mono, QStringLiteral("WAVE")).problem, Problem::NotCdAudio);
  const ImageFileFacts motorola = ProbeImageFile(cd, QStringLiteral("MOTOROLA"));
  EXPECT_EQ(motorola.kind, ImageFileKind::Motorola);
  EXPECT_EQ(motorola.audio_bytes, QFileInfo(cd).size());
  EXPECT_EQ(ProbeImageFile(dir.filePath(QStringLiteral("gone.bin")), QStringLiteral("BINARY")).problem,
            Problem::Missing);
  EXPECT_EQ(ProbeImageFile(dir.path(), QStringLiteral("BINARY")).problem, Problem::NotRegular);
}

}  // namespace
}  // namespace corvane
