#include "engine/DecodeStream.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <thread>

#include "engine/LevelMeter.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

using test::DecodeWithFfmpeg;
using test::MakeTone;

QByteArray ReadWhole(AudioStream& stream, int block = 10000) {
  QByteArray all;
  QByteArray buffer(block, '\0');
  for (;;) {
    const int read = stream.Read(buffer.data(), block);
    if (read <= 0) break;
    all.append(buffer.constData(), read);
  }
  return all;
}

class DecodeStreamTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

TEST_F(DecodeStreamTest, LosslessFilesDecodeToExactlyWhatFfmpegDecodes) {
  const QString wav = Path(QStringLiteral("tone.wav"));
  const QString flac = Path(QStringLiteral("tone.flac"));
  MakeTone(wav, 1.0, 44100, 2);
  MakeTone(flac, 1.0, 44100, 2);
  for (const QString& path : {wav, flac}) {
    auto stream = DecodeStream::Open(path).value.value_or(nullptr);
    ASSERT_TRUE(stream) << path.toStdString();
    EXPECT_EQ(stream->Info().rate, 44100);
    EXPECT_EQ(stream->Info().channels, 2);
    EXPECT_EQ(stream->LengthBytes(), 44100 * 4);
    EXPECT_TRUE(stream->IsActive());
    const QByteArray pcm = ReadWhole(*stream);
    EXPECT_EQ(pcm, DecodeWithFfmpeg(path)) << path.toStdString();
    EXPECT_EQ(stream->PositionBytes(), pcm.size());
    EXPECT_FALSE(stream->IsActive());
    char byte[4];
    EXPECT_EQ(stream->Read(byte, 4), 0);
  }
  EXPECT_EQ(DecodeStream::Open(wav).value.value_or(nullptr)->Info().type, ChannelType::WavPcm);
  EXPECT_EQ(DecodeStream::Open(flac).value.value_or(nullptr)->Info().type, ChannelType::Flac);
}

TEST_F(DecodeStreamTest, SeekLandsOnTheExactSample) {
  const QString flac = Path(QStringLiteral("seek.flac"));
  MakeTone(flac, 2.0, 48000, 2, {QStringLiteral("-af"), QStringLiteral("volume=0.9")});
  const QByteArray reference = DecodeWithFfmpeg(flac);
  auto stream = DecodeStream::Open(flac).value.value_or(nullptr);
  ASSERT_TRUE(stream);
  char scratch[4000];
  ASSERT_EQ(stream->Read(scratch, sizeof scratch), 4000);
  for (const qint64 target : {qint64{73457} * 4 + 2, qint64{3} * 4, qint64{90000} * 4, qint64{0}}) {
    ASSERT_TRUE(stream->Seek(target));
    const qint64 aligned = target - target % 4;
    EXPECT_EQ(stream->PositionBytes(), aligned);
    ASSERT_EQ(stream->Read(scratch, sizeof scratch), 4000);
    EXPECT_EQ(QByteArray(scratch, 4000), reference.mid(aligned, 4000)) << "seek to " << target;
  }
  EXPECT_FALSE(stream->Seek(stream->LengthBytes() + 4));
  EXPECT_FALSE(stream->Seek(-4));

  // A seek before the first read drops the packet read ahead at opening.
  stream = DecodeStream::Open(flac).value.value_or(nullptr);
  ASSERT_TRUE(stream);
  ASSERT_TRUE(stream->Seek(8000));
  ASSERT_EQ(stream->Read(scratch, sizeof scratch), 4000);
  EXPECT_EQ(QByteArray(scratch, 4000), reference.mid(8000, 4000));
}

TEST_F(DecodeStreamTest, LengthUnknownToTheContainerIsCountedByDecoding) {
  // FLAC written to a pipe carries no sample count.
  const QString flac = Path(QStringLiteral("piped.flac"));
  const QByteArray bytes =
      test::ToolOutput(QStringLiteral("ffmpeg"), {QStringLiteral("-loglevel"), QStringLiteral("error"),
                                                  QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                                  QStringLiteral("sine=frequency=440:sample_rate=22050:duration=0.7"),
                                                  QStringLiteral("-f"), QStringLiteral("flac"), QStringLiteral("-")});
  ASSERT_TRUE(test::WriteAll(flac, bytes));
  ASSERT_LT(test::ProbeDuration(flac), 0);
  auto stream = DecodeStream::Open(flac).value.value_or(nullptr);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->LengthBytes(), qint64{15435} * 2);
  EXPECT_EQ(stream->PositionBytes(), 0);
  EXPECT_EQ(ReadWhole(*stream), DecodeWithFfmpeg(flac));
}

TEST_F(DecodeStreamTest, ReportsSourceResolutionWhileDeliveringSixteenBits) {
  const QString u8 = Path(QStringLiteral("u8.wav"));
  const QString f32 = Path(QStringLiteral("f32.wav"));
  const QString s24 = Path(QStringLiteral("s24.flac"));
  MakeTone(u8, 0.5, 22050, 1, {QStringLiteral("-c:a"), QStringLiteral("pcm_u8")});
  MakeTone(f32, 0.5, 44100, 2, {QStringLiteral("-c:a"), QStringLiteral("pcm_f32le")});
  MakeTone(s24, 0.5, 96000, 2,
           {QStringLiteral("-sample_fmt"), QStringLiteral("s32"), QStringLiteral("-bits_per_raw_sample"),
            QStringLiteral("24")});
  auto stream = DecodeStream::Open(u8).value.value_or(nullptr);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->Info().resolution, SampleResolution::Bits8);
  EXPECT_EQ(stream->Info().original_bits, 8);
  EXPECT_EQ(stream->LengthBytes(), 11025 * 2);  // 16-bit mono output
  EXPECT_EQ(ReadWhole(*stream), DecodeWithFfmpeg(u8));

  stream = DecodeStream::Open(f32).value.value_or(nullptr);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->Info().resolution, SampleResolution::Float);
  EXPECT_EQ(stream->Info().type, ChannelType::WavFloat);

  stream = DecodeStream::Open(s24).value.value_or(nullptr);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->Info().resolution, SampleResolution::Bits16);
  EXPECT_EQ(stream->Info().original_bits, 24);
  EXPECT_EQ(stream->Info().rate, 96000);
}

TEST_F(DecodeStreamTest, FailuresCarryTheEngineCodes) {
  EXPECT_EQ(DecodeStream::Open(Path(QStringLiteral("missing.wav"))).status.code, EngineError::FileOpen);
  EXPECT_EQ(DecodeStream::Open(dir_.path()).status.code, EngineError::FileOpen);

  const QString text = Path(QStringLiteral("notes.wav"));
  ASSERT_TRUE(test::WriteAll(text, QByteArray("these are not audio samples, only words\n").repeated(50)));
  EXPECT_EQ(DecodeStream::Open(text).status.code, EngineError::FileFormat);

  // A playlist must not make the decoder open anything else.
  const QString playlist = Path(QStringLiteral("list.m3u8"));
  MakeTone(Path(QStringLiteral("inner.wav")), 0.2, 8000, 1);
  ASSERT_TRUE(test::WriteAll(playlist, "#EXTM3U\n#EXTINF:1,\ninner.wav\n"));
  EXPECT_EQ(DecodeStream::Open(playlist).status.code, EngineError::FileFormat);

  // A WMA file with either protection object is refused as protected, though ffprobe reads it.
  for (const test::AsfProtection kind :
       {test::AsfProtection::ContentEncryption, test::AsfProtection::ExtendedContentEncryption}) {
    const QString wma = Path(QStringLiteral("protected%1.wma").arg(static_cast<int>(kind)));
    test::MakeProtectedWma(wma, kind);
    EXPECT_GT(test::ProbeDuration(wma), 0.5);
    EXPECT_EQ(DecodeStream::Open(wma).status.code, EngineError::Protected) << wma.toStdString();
  }
}

// A WAV file whose PCM-tagged data is really a compressed stream (here AC-3) still decodes as
// that stream: the shortened codec probe of WAV data sees enough of it.
TEST_F(DecodeStreamTest, CompressedStreamHiddenInPcmWavDataIsFound) {
  const QString ac3 = Path(QStringLiteral("tone.ac3"));
  const QString wav = Path(QStringLiteral("hidden.wav"));
  const QString quiet[] = {QStringLiteral("-v"), QStringLiteral("error")};
  test::RunTool(QStringLiteral("ffmpeg"),
                {quiet[0], quiet[1], QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                 QStringLiteral("sine=frequency=440:sample_rate=48000:duration=2"), QStringLiteral("-ac"),
                 QStringLiteral("2"), QStringLiteral("-c:a"), QStringLiteral("ac3"), ac3});
  test::RunTool(QStringLiteral("ffmpeg"),
                {quiet[0], quiet[1], QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-ar"),
                 QStringLiteral("48000"), QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-i"), ac3,
                 QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"), wav});
  EngineResult<std::unique_ptr<DecodeStream>> opened = DecodeStream::Open(wav);
  ASSERT_TRUE(opened.Succeeded()) << ToCode(opened.status.code);
  std::unique_ptr<DecodeStream> stream = std::move(*opened.value);
  // Two seconds of decoded AC-3, where the AC-3 bytes read as PCM would last a quarter second.
  const qint64 bytes = ReadWhole(*stream).size();
  EXPECT_GT(bytes, qint64{48000} * 4 * 19 / 10);
  EXPECT_LT(bytes, qint64{48000} * 4 * 21 / 10);
}

TEST_F(DecodeStreamTest, ReportsTagsAndWhereTheAudioStarts) {
  const QString mp3 = Path(QStringLiteral("tagged.mp3"));
  MakeTone(mp3, 1.0, 44100, 2,
           {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-id3v2_version"), QStringLiteral("3"),
            QStringLiteral("-metadata"), QStringLiteral("title=Zoë's Song"), QStringLiteral("-metadata"),
            QStringLiteral("artist=Ärtist"), QStringLiteral("-metadata"), QStringLiteral("album=Album"),
            QStringLiteral("-metadata"), QStringLiteral("date=1999"), QStringLiteral("-metadata"),
            QStringLiteral("track=7/12"), QStringLiteral("-metadata"), QStringLiteral("genre=Rock"),
            QStringLiteral("-metadata"), QStringLiteral("comment=Note")});
  auto stream = DecodeStream::Open(mp3).value.value_or(nullptr);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->Info().type, ChannelType::MpegLayer3);
  const StreamTags& tags = stream->Tags();
  EXPECT_EQ(tags.title, QStringLiteral("Zoë's Song"));
  EXPECT_EQ(tags.artist, QStringLiteral("Ärtist"));
  EXPECT_EQ(tags.album, QStringLiteral("Album"));
  EXPECT_EQ(tags.year, QStringLiteral("1999"));
  EXPECT_EQ(tags.track, QStringLiteral("7/12"));
  EXPECT_EQ(tags.genre, QStringLiteral("Rock"));
  EXPECT_EQ(tags.comment, QStringLiteral("Note"));
  EXPECT_TRUE(tags.wma_block.isEmpty());
  // The audio starts behind the ID3v2 tag, whose size its header gives.
  const QByteArray head = test::ReadAll(mp3).left(10);
  ASSERT_TRUE(head.startsWith("ID3"));
  const qint64 tagSize =
      ((head[6] & 0x7F) << 21 | (head[7] & 0x7F) << 14 | (head[8] & 0x7F) << 7 | (head[9] & 0x7F)) + 10;
  EXPECT_GE(stream->AudioDataStart(), tagSize);
  EXPECT_LT(stream->AudioDataStart(), tagSize + 2000);
}

TEST_F(DecodeStreamTest, WindowsMediaFilesCarryTheirAttributeBlock) {
  const QString wma = Path(QStringLiteral("tone.wma"));
  MakeTone(wma, 1.0, 44100, 2,
           {QStringLiteral("-c:a"), QStringLiteral("wmav2"), QStringLiteral("-b:a"), QStringLiteral("128k"),
            QStringLiteral("-metadata"), QStringLiteral("title=Windows"), QStringLiteral("-metadata"),
            QStringLiteral("IsVBR=1")});
  auto stream = DecodeStream::Open(wma).value.value_or(nullptr);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->Info().type, ChannelType::Wma);
  const QStringList block = stream->Tags().wma_block;
  EXPECT_TRUE(block.contains(QStringLiteral("Title=Windows")));
  EXPECT_TRUE(block.contains(QStringLiteral("IsVBR=1")));
  EXPECT_TRUE(block.contains(QStringLiteral("Bitrate=128000")));
}

TEST_F(DecodeStreamTest, StreamsDecodeIndependentlyOnSeveralThreads) {
  const QString a = Path(QStringLiteral("a.flac"));
  const QString b = Path(QStringLiteral("b.ogg"));
  MakeTone(a, 1.0, 44100, 2);
  MakeTone(b, 1.0, 32000, 1, {QStringLiteral("-c:a"), QStringLiteral("libvorbis")});
  auto decode = [](const QString& path) {
    auto stream = DecodeStream::Open(path).value.value_or(nullptr);
    return stream ? ReadWhole(*stream, 4096) : QByteArray();
  };
  const QByteArray serialA = decode(a);
  const QByteArray serialB = decode(b);
  ASSERT_FALSE(serialA.isEmpty());
  ASSERT_FALSE(serialB.isEmpty());
  QByteArray parallelA, parallelB;
  std::thread first([&] { parallelA = decode(a); });
  std::thread second([&] { parallelB = decode(b); });
  first.join();
  second.join();
  EXPECT_EQ(parallelA, serialA);
  EXPECT_EQ(parallelB, serialB);
}

TEST_F(DecodeStreamTest, SampleProcessorRewritesDeliveredSamplesAndLevelMeterSeesThem) {
  const QString wav = Path(QStringLiteral("half.wav"));
  test::RunTool(QStringLiteral("sox"),
                {QStringLiteral("-D"), QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
                 QStringLiteral("-c"), QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16"), wav,
                 QStringLiteral("synth"), QStringLiteral("0.5"), QStringLiteral("sine"), QStringLiteral("440"),
                 QStringLiteral("vol"), QStringLiteral("0.5")});
  auto stream = DecodeStream::Open(wav).value.value_or(nullptr);
  ASSERT_TRUE(stream);
  const int peak = LevelMeter::MeasurePeak(*stream);
  EXPECT_NEAR(peak, 16384, 3);
  ASSERT_TRUE(stream->Seek(0));
  stream->SetSampleProcessor([](qint16* samples, int count) {
    for (int i = 0; i < count; ++i) samples[i] = static_cast<qint16>(samples[i] * 32767 / 16384);
  });
  EXPECT_GE(LevelMeter::MeasurePeak(*stream), 32700);

  // A left-only signal shows in the left level alone.
  const QString left = Path(QStringLiteral("left.wav"));
  test::RunTool(QStringLiteral("sox"),
                {QStringLiteral("-D"), QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("8000"),
                 QStringLiteral("-c"), QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16"), left,
                 QStringLiteral("synth"), QStringLiteral("0.2"), QStringLiteral("sine"), QStringLiteral("440"),
                 QStringLiteral("remix"), QStringLiteral("1"), QStringLiteral("0")});
  stream = DecodeStream::Open(left).value.value_or(nullptr);
  ASSERT_TRUE(stream);
  LevelMeter meter(*stream);
  int readings = 0;
  while (const auto levels = meter.Next()) {
    EXPECT_EQ(levels->right, 0);
    ++readings;
  }
  EXPECT_EQ(readings, 10);  // 200 ms in stretches of 20 ms
}

}  // namespace
}  // namespace corvane
