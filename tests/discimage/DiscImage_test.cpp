// Reading audio from disc images through our own reader: album files (WAVE with odd chunks,
// FLAC) sector- and sample-exact against ffmpeg's decode, layouts built by hand over raw,
// big-endian, silent and cut data, and data files that must never be opened.
#include "discimage/DiscImage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <future>

#include "discimage/ImageFileProbe.h"
#include "engine/CdStream.h"
#include "support/DiscImageFixture.h"
#include "support/SourceFixtures.h"
#include "support/ToolRunner.h"

namespace corvane {
namespace {

using test::DiscImageFixture;
constexpr int kSector = DiscImageFixture::kSectorBytes;

QByteArray ReadSectors(IDiscAccess& disc, int lsn, int count) {
  QByteArray out(static_cast<qsizetype>(count) * kSector, '\x55');
  return disc.ReadAudio(lsn, count, out.data()) ? out : QByteArray();
}

class DiscImageTest : public testing::Test {
 protected:
  QTemporaryDir dir_;
  DiscImageFixture fixture_{dir_.filePath(QStringLiteral("images"))};
};

class AlbumImageTest : public DiscImageTest, public testing::WithParamInterface<DiscImageFixture::AlbumFile> {};

// The whole disc read in blocks, and again backwards, is ffmpeg's decode of the album file padded
// to the lead-out sector; each track's CD stream ends exactly where the file's samples end.
TEST_P(AlbumImageTest, ReadsSectorAndSampleExactly) {
  const int tail = 101;
  const test::DiscImage album = fixture_.BuildAlbum(QStringLiteral("album"), {{{40}, {33}, {27}}}, GetParam(), tail);
  DiscOpenResult opened = OpenDisc(album.cue);
  ASSERT_TRUE(opened.Succeeded()) << qPrintable(opened.status.text);
  IDiscAccess& disc = **opened.value;
  const DiscTable& table = disc.Table();
  ASSERT_EQ(table.tracks.size(), 3u);
  EXPECT_EQ(table.leadout_lsn, 101);
  EXPECT_EQ(table.EndFrame(), 100 * 588 + tail);
  const QByteArray decoded = test::DecodeWithFfmpeg(album.bin);
  ASSERT_EQ(decoded.size(), (100 * 588 + tail) * 4);
  const QByteArray padded = decoded + QByteArray(101 * kSector - decoded.size(), '\0');
  QByteArray forwards;
  for (int lsn = 0; lsn < 101; lsn += 7) forwards += ReadSectors(disc, lsn, std::min(7, 101 - lsn));
  EXPECT_TRUE(forwards == padded);
  for (const int lsn : {90, 3, 55, 54, 0, 100})
    EXPECT_TRUE(ReadSectors(disc, lsn, 1) == padded.mid(lsn * kSector, kSector)) << lsn;
  EXPECT_TRUE(ReadSectors(disc, 100, 2).isEmpty()) << "past the lead-out";
  for (int row = 0; row < 3; ++row) {
    auto stream = CdStream::Create(album.cue, row);
    ASSERT_TRUE(stream.Succeeded());
    QByteArray pcm(album.tracks[row].size() + kSector, '\0');
    qsizetype got = 0;
    for (int read; (read = (*stream.value)->Read(pcm.data() + got, 9996)) > 0;) got += read;
    EXPECT_TRUE(pcm.left(got) == album.tracks[row]) << row;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, AlbumImageTest,
                         testing::Values(DiscImageFixture::AlbumFile::Wave, DiscImageFixture::AlbumFile::Flac));

// A layout built by hand: raw, big-endian and WAVE data with silence between, a data track, and
// a file that was cut after probing. sox gives the big-endian file's samples independently.
TEST_F(DiscImageTest, HandBuiltLayoutReadsEverySpanAndRefusesWhatIsNoAudio) {
  const test::DiscImage wave = fixture_.BuildAlbum(QStringLiteral("w"), {{{4}}}, DiscImageFixture::AlbumFile::Wave);
  const QByteArray raw = DiscImageFixture::TrackPcm(1, 3);
  const QByteArray data = DiscImageFixture::DataSectors(9, 2, 2);
  const QString rawPath = dir_.filePath(QStringLiteral("a.bin"));
  const QString bigPath = dir_.filePath(QStringLiteral("b.raw"));
  const QString dataPath = dir_.filePath(QStringLiteral("d.bin"));
  ASSERT_TRUE(test::WriteAll(rawPath, raw) && test::WriteAll(dataPath, data));
  test::ToolOutput(
      QStringLiteral("sox"),
      {QStringLiteral("-t"), QStringLiteral("raw"), QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-e"),
       QStringLiteral("signed"), QStringLiteral("-b"), QStringLiteral("16"), QStringLiteral("-c"), QStringLiteral("2"),
       QStringLiteral("-L"), rawPath, QStringLiteral("-B"), QStringLiteral("-t"), QStringLiteral("raw"), bigPath});
  DiscImageLayout layout;
  for (const auto& [path, type] : {std::pair{rawPath, "BINARY"}, std::pair{bigPath, "MOTOROLA"},
                                   std::pair{wave.bin, "WAVE"}, std::pair{dataPath, "BINARY"}})
    layout.files.push_back({path, ProbeImageFile(path, QLatin1String(type))});
  ASSERT_EQ(layout.files[2].facts.kind, ImageFileKind::Wave);
  EXPECT_EQ(layout.files[2].facts.audio_offset, 12 + 24 + 14 + 8);
  const qint64 header = layout.files[2].facts.audio_offset;
  using Kind = ImageSpan::Kind;
  layout.spans = {{Kind::Audio, 0, 0, 3 * 588}, {Kind::Silence, -1, 0, 2 * 588},
                  {Kind::Audio, 1, 0, 3 * 588}, {Kind::Audio, 2, header, 1 * 588},
                  {Kind::Data, 3, 0, 2 * 588},  {Kind::Audio, 2, header - 4 * 4, 588}};
  layout.tracks = {{.number = 1, .start = 0, .pregap = 0},
                   {.number = 2, .start = 5, .pregap = 5},
                   {.number = 3, .audio = false, .start = 9, .pregap = 9}};
  layout.lead_out = 12;
  DiscImage disc(layout);
  EXPECT_EQ(disc.Table().tracks[2].format, DiscTrackFormat::Mode2Form2);
  const QByteArray expected = raw + QByteArray(2 * kSector, '\0') + raw + wave.tracks[0].left(kSector);
  EXPECT_TRUE(ReadSectors(disc, 0, 9) == expected);
  EXPECT_TRUE(ReadSectors(disc, 9, 1).isEmpty()) << "a data sector is no audio";
  EXPECT_TRUE(ReadSectors(disc, 11, 1).isEmpty()) << "a WAVE header is no audio";
  // Cut after probing: what is gone fails, what is left still reads.
  DiscImage cut(layout);
  ASSERT_TRUE(QFile::resize(rawPath, 2 * kSector + 100));
  EXPECT_TRUE(ReadSectors(cut, 0, 2) == raw.left(2 * kSector));
  EXPECT_TRUE(ReadSectors(cut, 1, 2).isEmpty());
}

// A sheet naming a FIFO is refused without the FIFO ever being opened. Should that regress, the
// guard opens the FIFO's other end so that the blocked reader returns and the test fails.
TEST_F(DiscImageTest, AFifoNamedBySheetIsRefusedWithoutOpeningIt) {
  const QString fifo = dir_.filePath(QStringLiteral("pipe.bin"));
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString cue = dir_.filePath(QStringLiteral("pipe.cue"));
  ASSERT_TRUE(test::WriteAll(cue, "FILE \"pipe.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"));
  EXPECT_EQ(ProbeImageFile(fifo, QStringLiteral("BINARY")).problem, ImageFileFacts::Problem::NotRegular);
  auto opening = std::async(std::launch::async, [&cue] { return OpenDisc(cue); });
  if (opening.wait_for(std::chrono::seconds(60)) == std::future_status::timeout) {
    ADD_FAILURE() << "opening the sheet blocked on the FIFO";
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
  }
  const DiscOpenResult opened = opening.get();
  EXPECT_FALSE(opened.Succeeded());
  EXPECT_TRUE(opened.status.text.contains(QStringLiteral("pipe.bin"))) << qPrintable(opened.status.text);
}

}  // namespace
}  // namespace corvane
