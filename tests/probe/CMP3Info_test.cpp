#include "probe/CMP3Info.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QTemporaryDir>

#include "support/SourceFixtures.h"
#include "tags/Id3v2Tag.h"

namespace corvane {
namespace {

using test::ReadAll;
using test::WriteAll;

QByteArray BigEndian32(quint32 value) {
  QByteArray out;
  for (int shift = 24; shift >= 0; shift -= 8) out.append(static_cast<char>(value >> shift));
  return out;
}

// Silent MPEG-1 Layer I frames (48 kHz, 384 kbps, no allocation bits set): FFmpeg has no
// Layer I encoder, so the test writes them itself. Each frame is 384 bytes and 8 ms.
QByteArray LayerOneFrames(int count) {
  QByteArray frame(384, '\0');
  frame.replace(0, 4, BigEndian32(0xFFFFC400u));
  return frame.repeated(count);
}

// Lengths agree with ffprobe's within one frame (plus the millisecond cut).
double FrameMs(const CMP3Info& info) {
  const MpegHeader& h = info.Header();
  const int samples = h.layer == 1 ? 384 : (h.layer == 3 && h.version != 3 ? 576 : 1152);
  return samples * 1000.0 / h.sample_rate + 1;
}

class CMP3InfoTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Wav(double seconds, int rate, int channels) {
    const QString path = Path(QStringLiteral("src%1_%2_%3.wav").arg(seconds).arg(rate).arg(channels));
    if (!QFile::exists(path)) {
      test::MakeTone(path, seconds, rate, channels);
    }
    return path;
  }
  QString Lame(const QString& name, const QStringList& options, int rate = 44100, int channels = 2) {
    const QString path = Path(name);
    test::RunTool(QStringLiteral("lame"),
                  QStringList{QStringLiteral("--quiet")} << options << Wav(1.0, rate, channels) << path);
    return path;
  }
  void ExpectDurationLikeFfprobe(const CMP3Info& info, const QString& path) {
    const double probed = test::ProbeDuration(path) * 1000;
    ASSERT_GT(probed, 0);
    EXPECT_NEAR(static_cast<double>(info.DurationMs()), probed, FrameMs(info)) << path.toStdString();
  }
  QTemporaryDir dir_;
};

TEST(MpegHeader, TestsAndDecodesHeaderBits) {
  EXPECT_TRUE(MpegHeader::IsFrameHeader(0xFFFB9064u));
  EXPECT_FALSE(MpegHeader::IsFrameHeader(0xFFDB9064u));  // a sync bit missing
  EXPECT_FALSE(MpegHeader::IsFrameHeader(0xFFEB9064u));  // reserved version
  EXPECT_FALSE(MpegHeader::IsFrameHeader(0xFFF99064u));  // reserved layer
  EXPECT_FALSE(MpegHeader::IsFrameHeader(0xFFFB0064u));  // free-format bitrate
  EXPECT_FALSE(MpegHeader::IsFrameHeader(0xFFFBF064u));  // bad bitrate
  EXPECT_FALSE(MpegHeader::IsFrameHeader(0xFFFB9C64u));  // reserved sample rate
  EXPECT_FALSE(MpegHeader::IsFrameHeader(0xFFFB9066u));  // reserved emphasis
  EXPECT_TRUE(MpegHeader::Matches(0xFFFB9064u, 0xFFFAA2C0u));
  EXPECT_FALSE(MpegHeader::Matches(0xFFFB9064u, 0xFFF39064u));

  const MpegHeader mp3 = MpegHeader::Decode(0xFFFB9264u);  // MPEG 1 Layer III, 128 kbps, 44.1 kHz, padded
  EXPECT_EQ(mp3.version, 3);
  EXPECT_EQ(mp3.layer, 3);
  EXPECT_EQ(mp3.protection, 1);
  EXPECT_EQ(mp3.bitrate, 128);
  EXPECT_EQ(mp3.sample_rate, 44100);
  EXPECT_EQ(mp3.channel_mode, 1);
  EXPECT_EQ(mp3.frame_length, 418);
  const MpegHeader low = MpegHeader::Decode(0xFFE310C4u);  // MPEG 2.5 Layer III, 8 kbps, 11025 Hz, mono
  EXPECT_EQ(low.version, 1);
  EXPECT_EQ(low.bitrate, 8);
  EXPECT_EQ(low.sample_rate, 11025);
  EXPECT_EQ(low.channel_mode, 3);
  EXPECT_EQ(low.frame_length, 52);
  EXPECT_EQ(MpegHeader::Decode(0xFFFF1000u).frame_length, 32);   // Layer I, 32 kbps, 44.1 kHz: (8 + 0) * 4
  EXPECT_EQ(MpegHeader::Decode(0xFFFB2400u).frame_length, 120);  // Layer III, 40 kbps at 48 kHz: exactly 120
}

TEST_F(CMP3InfoTest, LameConstantBitrateInfoFrameReadsAsCbr) {
  const QString mp3 =
      Lame(QStringLiteral("cbr.mp3"), {QStringLiteral("--cbr"), QStringLiteral("-b"), QStringLiteral("128")});
  ASSERT_TRUE(ReadAll(mp3).mid(36, 4) == "Info");
  CMP3Info info;
  ASSERT_TRUE(info.Open(mp3));
  EXPECT_TRUE(info.HasFrame());
  EXPECT_FALSE(info.HasId3v1());
  EXPECT_FALSE(info.IsVbr());
  EXPECT_EQ(info.FirstAudioPosition(), 0);
  EXPECT_EQ(info.VbrFramePosition(), 0);
  EXPECT_EQ(info.Header().bitrate, 128);
  EXPECT_EQ(info.Bitrate(), 128);
  EXPECT_EQ(info.Header().version, 3);
  EXPECT_EQ(info.Header().sample_rate, 44100);
  EXPECT_EQ(info.FrameCount(), info.FileSize() / 417);
  ExpectDurationLikeFfprobe(info, mp3);
}

TEST_F(CMP3InfoTest, LameVariableBitrateHasXingHeader) {
  // Noise rather than a tone, so that frames are as large as music's: the average frame size
  // counts the Xing frame, which is off by its share of the file.
  const QString noise = Path(QStringLiteral("noise.wav"));
  test::RunTool(QStringLiteral("ffmpeg"),
                {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                 QStringLiteral("-i"), QStringLiteral("anoisesrc=color=white:duration=2:sample_rate=44100:seed=3"),
                 QStringLiteral("-ac"), QStringLiteral("2"), noise});
  const QString mp3 = Path(QStringLiteral("vbr.mp3"));
  test::RunTool(QStringLiteral("lame"),
                {QStringLiteral("--quiet"), QStringLiteral("-V"), QStringLiteral("0"), noise, mp3});
  const QByteArray bytes = ReadAll(mp3);
  CMP3Info info;
  ASSERT_TRUE(info.Open(mp3, 0, true));
  ASSERT_EQ(info.VbrHeaderKind(), CMP3Info::VbrKind::Xing);
  EXPECT_EQ(info.VbrFramePosition(), 0);
  EXPECT_EQ(info.VbrDataPosition(), 36);
  EXPECT_EQ(BigEndian32(info.VbrFrameCount()), bytes.mid(44, 4));
  EXPECT_GT(info.FirstAudioPosition(), 36);
  EXPECT_TRUE(MpegHeader::Matches(info.FirstHeader(), 0xFFFB0000u));
  EXPECT_GT(info.AverageBitrate(), 32);
  EXPECT_EQ(info.Bitrate(), info.AverageBitrate());
  ExpectDurationLikeFfprobe(info, mp3);

  ASSERT_EQ(info.SeekTable().size(), 100u);
  EXPECT_EQ(info.PositionForTime(0), info.FirstAudioPosition());
  qint64 previous = 0;
  for (qint64 ms = 0; ms <= info.DurationMs(); ms += 100) {
    const qint64 at = info.PositionForTime(ms);
    EXPECT_GE(at, previous);
    EXPECT_LE(at, info.FileSize());
    previous = at;
  }
}

TEST_F(CMP3InfoTest, MpegTwoAndTwoPointFiveRatesAndMono) {
  struct Case {
    int rate;
    int version;
    QString bitrate;
  };
  for (const Case& c : {Case{22050, 2, QStringLiteral("64")}, Case{24000, 2, QStringLiteral("64")},
                        Case{16000, 2, QStringLiteral("32")}, Case{11025, 1, QStringLiteral("32")},
                        Case{12000, 1, QStringLiteral("32")}, Case{8000, 1, QStringLiteral("16")}}) {
    const QString mp3 =
        Lame(QStringLiteral("r%1.mp3").arg(c.rate),
             {QStringLiteral("-m"), QStringLiteral("m"), QStringLiteral("--cbr"), QStringLiteral("-b"), c.bitrate},
             c.rate, 1);
    CMP3Info info;
    ASSERT_TRUE(info.Open(mp3)) << c.rate;
    EXPECT_TRUE(info.HasFrame()) << c.rate;
    EXPECT_EQ(info.Header().sample_rate, c.rate);
    EXPECT_EQ(info.Header().version, c.version);
    EXPECT_EQ(info.Header().channel_mode, 3);
    EXPECT_EQ(info.Header().bitrate, c.bitrate.toInt());
    ExpectDurationLikeFfprobe(info, mp3);
  }
}

TEST_F(CMP3InfoTest, LayerTwoAndLayerOne) {
  const QString mp2 = Path(QStringLiteral("tone.mp2"));
  test::MakeTone(mp2, 1.0, 48000, 2,
                 {QStringLiteral("-c:a"), QStringLiteral("mp2"), QStringLiteral("-b:a"), QStringLiteral("192k")});
  CMP3Info info;
  ASSERT_TRUE(info.Open(mp2));
  EXPECT_EQ(info.Header().layer, 2);
  EXPECT_EQ(info.Header().bitrate, 192);
  EXPECT_EQ(info.Header().frame_length, 576);
  ExpectDurationLikeFfprobe(info, mp2);

  const QString mp1 = Path(QStringLiteral("silence.mp1"));
  ASSERT_TRUE(WriteAll(mp1, LayerOneFrames(125)));
  ASSERT_TRUE(info.Open(mp1));
  EXPECT_EQ(info.Header().layer, 1);
  EXPECT_EQ(info.Header().frame_length, 384);
  EXPECT_EQ(info.FrameCount(), 125);
  EXPECT_EQ(info.DurationMs(), 1000);
  ExpectDurationLikeFfprobe(info, mp1);
}

TEST_F(CMP3InfoTest, GarbageBeforeTheFirstFrameNeedsAConfirmingFrame) {
  const QByteArray audio =
      ReadAll(Lame(QStringLiteral("plain.mp3"), {QStringLiteral("-t"), QStringLiteral("-b"), QStringLiteral("128")}));
  QByteArray garbage(3000, '\0');
  QRandomGenerator random(7);
  for (char& c : garbage) c = static_cast<char>(random.bounded(0, 0xF0));  // no sync bytes by chance
  garbage.replace(100, 4, BigEndian32(0xFFFB9064u));                       // a lone header: nothing confirms it
  garbage.replace(1000, 4, BigEndian32(0xFFFB9064u));                      // confirmed only by a frame of another layer
  garbage.replace(1417, 4, BigEndian32(0xFFFD9064u));
  const QString mp3 = Path(QStringLiteral("garbage.mp3"));
  ASSERT_TRUE(WriteAll(mp3, garbage + audio));
  CMP3Info info;
  ASSERT_TRUE(info.Open(mp3));
  EXPECT_TRUE(info.HasFrame());
  EXPECT_EQ(info.FirstAudioPosition(), 3000);
  EXPECT_EQ(info.Header().bitrate, 128);
}

TEST_F(CMP3InfoTest, SkipsAnId3v23TagAndWalksThroughAnId3v22Tag) {
  const QByteArray audio =
      ReadAll(Lame(QStringLiteral("plain.mp3"), {QStringLiteral("-t"), QStringLiteral("-b"), QStringLiteral("128")}));
  // A v2.3 tag whose private data holds two whole frames: skipping the tag never sees them.
  QByteArray v23 = Id3v2Tag::Build(SourceTags{QStringLiteral("Title"), {}, {}, {}, {}, {}, {}});
  const int frameInTag = v23.size() - Id3v2Tag::kPadding + 100;
  v23.replace(frameInTag, 836, audio.left(836));
  const QString tagged = Path(QStringLiteral("v23.mp3"));
  ASSERT_TRUE(WriteAll(tagged, v23 + audio));
  CMP3Info info;
  ASSERT_TRUE(info.Open(tagged));
  EXPECT_EQ(info.FirstAudioPosition(), v23.size());

  // The same tag with version 2: not skipped, so the frames inside it are found.
  QByteArray v22 = v23;
  v22[3] = 2;
  const QString older = Path(QStringLiteral("v22.mp3"));
  ASSERT_TRUE(WriteAll(older, v22 + audio));
  ASSERT_TRUE(info.Open(older));
  EXPECT_EQ(info.FirstAudioPosition(), frameInTag);

  // A start offset inside the file overrides the skip.
  ASSERT_TRUE(info.Open(tagged, 5));
  EXPECT_EQ(info.FirstAudioPosition(), frameInTag);
}

TEST_F(CMP3InfoTest, VbriHeaderBuiltByHand) {
  const QByteArray audio =
      ReadAll(Lame(QStringLiteral("plain.mp3"), {QStringLiteral("-t"), QStringLiteral("-b"), QStringLiteral("128")}));
  const quint32 frames = static_cast<quint32>(audio.size() / 417);
  QByteArray vbri(417, '\0');
  vbri.replace(0, 4, BigEndian32(0xFFFB9064u));
  QByteArray data = QByteArray("VBRI\x00\x01\x00\x00\x00\x4B", 10);
  data += BigEndian32(static_cast<quint32>(audio.size()));
  data += BigEndian32(frames);
  data += QByteArray("\x00\x04\x00\x01\x00\x02\x00\x14", 8);      // 4 entries of 2 bytes, 20 frames each
  for (int i = 0; i < 4; ++i) data += QByteArray("\x20\x95", 2);  // 8341 bytes per 20 frames
  vbri.replace(36, data.size(), data);
  const QString mp3 = Path(QStringLiteral("vbri.mp3"));
  ASSERT_TRUE(WriteAll(mp3, vbri + audio));

  CMP3Info info;
  ASSERT_TRUE(info.Open(mp3, 0, true));
  EXPECT_EQ(info.VbrHeaderKind(), CMP3Info::VbrKind::Vbri);
  EXPECT_EQ(info.VbrDataPosition(), 36);
  EXPECT_EQ(info.VbrFrameCount(), frames);
  EXPECT_EQ(info.FirstAudioPosition(), 417);
  EXPECT_NEAR(info.AverageBitrate(), 128, 5);  // the VBRI frame counts in the average
  ASSERT_EQ(info.SeekTable().size(), 4u);
  EXPECT_NEAR(info.PositionForTime(1044), 417 + 2 * 8341, 20);  // 40 frames of 26.12 ms
  EXPECT_NEAR(info.PositionForTime(261), 417 + 8341 / 2, 20);
  ExpectDurationLikeFfprobe(info, mp3);
}

TEST_F(CMP3InfoTest, ReadsTheId3v1TagAtTheEnd) {
  const QString mp3 =
      Lame(QStringLiteral("v1.mp3"),
           {QStringLiteral("--id3v1-only"), QStringLiteral("--tt"), QStringLiteral("Song"), QStringLiteral("--ta"),
            QStringLiteral("Band"), QStringLiteral("--tl"), QStringLiteral("Disc"), QStringLiteral("--ty"),
            QStringLiteral("2001"), QStringLiteral("--tc"), QStringLiteral("Said"), QStringLiteral("--tn"),
            QStringLiteral("5"), QStringLiteral("--tg"), QStringLiteral("Jazz"), QStringLiteral("-b"),
            QStringLiteral("128")});
  CMP3Info info;
  ASSERT_TRUE(info.Open(mp3));
  ASSERT_TRUE(info.HasId3v1());
  EXPECT_EQ(info.Flags(), CMP3Info::kFlagId3v1 | CMP3Info::kFlagFrame);
  EXPECT_EQ(info.Id3v1().title, QStringLiteral("Song"));
  EXPECT_EQ(info.Id3v1().artist, QStringLiteral("Band"));
  EXPECT_EQ(info.Id3v1().album, QStringLiteral("Disc"));
  EXPECT_EQ(info.Id3v1().year, QStringLiteral("2001"));
  EXPECT_EQ(info.Id3v1().comment, QStringLiteral("Said"));
  EXPECT_EQ(info.Id3v1().track, 5);
  EXPECT_EQ(info.Id3v1().genre, 8);
  EXPECT_EQ(info.FrameCount(), (info.FileSize() - 128) / 417);
  ExpectDurationLikeFfprobe(info, mp3);
}

TEST_F(CMP3InfoTest, UnusableNamesAndFilesKeepTheResetValues) {
  const QString wav = Wav(0.2, 8000, 1);
  CMP3Info info;
  EXPECT_FALSE(info.Open(wav));
  EXPECT_FALSE(info.Open(Path(QStringLiteral("absent.mp3"))));
  EXPECT_EQ(info.Bitrate(), 0);
  EXPECT_EQ(info.Id3v1().genre, 255);
  EXPECT_EQ(info.Flags(), 0);
  EXPECT_TRUE(info.Path().isEmpty());

  const QString upper = Path(QStringLiteral("LOUD.MPA"));
  ASSERT_TRUE(WriteAll(upper, LayerOneFrames(3)));
  EXPECT_TRUE(info.Open(upper));
  EXPECT_EQ(info.Path(), upper);
}

TEST_F(CMP3InfoTest, DamagedAndHostileFilesStayBounded) {
  CMP3Info info;
  // Audio beyond the scan limit is not found.
  const QString late = Path(QStringLiteral("late.mp3"));
  ASSERT_TRUE(WriteAll(late, QByteArray(150000, '\0') + LayerOneFrames(4)));
  ASSERT_TRUE(info.Open(late));
  EXPECT_FALSE(info.HasFrame());
  EXPECT_EQ(info.DurationMs(), 0);
  EXPECT_EQ(info.AverageBitrate(), 0);

  // One header and nothing after it; a Xing frame cut short; a Xing header claiming 0 frames.
  const QString cut = Path(QStringLiteral("cut.mp3"));
  ASSERT_TRUE(WriteAll(cut, BigEndian32(0xFFFB9064u)));
  ASSERT_TRUE(info.Open(cut));
  EXPECT_FALSE(info.HasFrame());
  QByteArray xing(417, '\0');
  xing.replace(0, 4, BigEndian32(0xFFFB9064u));
  xing.replace(36, 8, QByteArray("Xing\x00\x00\x00\x0F", 8));
  ASSERT_TRUE(WriteAll(cut, xing.left(40)));
  ASSERT_TRUE(info.Open(cut, 0, true));
  EXPECT_FALSE(info.HasFrame());
  ASSERT_TRUE(WriteAll(cut, xing + LayerOneFrames(0) + xing.left(4) + QByteArray(413, '\0') + xing.left(4)));
  ASSERT_TRUE(info.Open(cut, 0, true));
  EXPECT_EQ(info.VbrHeaderKind(), CMP3Info::VbrKind::Xing);
  EXPECT_EQ(info.VbrFrameCount(), 0u);
  EXPECT_GT(info.AverageBitrate(), 0);  // from the frame count estimate instead
  EXPECT_EQ(info.SeekTable().size(), 100u);

  // A VBRI table claiming far more entries than the file holds is not read.
  QByteArray vbri(417, '\0');
  vbri.replace(0, 4, BigEndian32(0xFFFB9064u));
  vbri.replace(
      36, 26,
      QByteArray("VBRI\x00\x01\x00\x00\x00\x4B\x00\x01\x00\x00\x00\x00\x00\x10\xFF\xFF\x00\x01\x00\x04\x00\x01", 26));
  ASSERT_TRUE(WriteAll(cut, vbri + vbri + vbri));
  ASSERT_TRUE(info.Open(cut, 0, true));
  EXPECT_EQ(info.VbrHeaderKind(), CMP3Info::VbrKind::Vbri);
  EXPECT_TRUE(info.SeekTable().empty());

  // An ID3v2 size larger than the file: the search starts at 0.
  const QString liar = Path(QStringLiteral("liar.mp3"));
  ASSERT_TRUE(WriteAll(liar, QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + LayerOneFrames(3)));
  ASSERT_TRUE(info.Open(liar));
  EXPECT_EQ(info.FirstAudioPosition(), 10);
}

}  // namespace
}  // namespace corvane
