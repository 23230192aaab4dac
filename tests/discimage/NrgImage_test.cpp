// The Nero image reader on images the tests write: a disc-at-once copy with CD-TEXT and the
// track-at-once image of the grabber's fixture, then damaged copies whose lying lengths and
// offsets must be refused, never followed.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"
#include "discimage/NrgImage.h"
#include "support/DiscImageFixture.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

using test::DiscImageFixture;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ImageLayoutResult ReadBytes(const QByteArray& image) {
  return ReadNrgImage(QStringLiteral("/images/disc.nrg"), image.size(),
                      [&image](qint64 offset, qint64 length) { return image.mid(offset, length); });
}

test::DiscPlan ThreeTracks() {
  test::DiscPlan plan;
  plan.title = QStringLiteral("Nero Disc");
  plan.performer = QStringLiteral("Band");
  plan.tracks = {{300, false, QStringLiteral("One"), QStringLiteral("Band")},
                 {200, false, QStringLiteral("Two"), QStringLiteral("Band")},
                 {100, false, QStringLiteral("Three"), QStringLiteral("Guest")}};
  return plan;
}

class NrgImageTest : public ::testing::Test {
 protected:
  QByteArray DaoImage() { return ReadAll(fixture_.BuildNrgDao(QStringLiteral("dao"), ThreeTracks()).nrg); }

  QTemporaryDir folder_;
  DiscImageFixture fixture_{folder_.path()};
};

TEST_F(NrgImageTest, DiscAtOnceImageWithCdText) {
  const ImageLayoutResult read = ReadBytes(DaoImage());
  ASSERT_TRUE(read.Succeeded()) << read.status.text.toStdString();
  const DiscImageLayout& disc = *read.value;
  ASSERT_EQ(disc.tracks.size(), 3u);
  const std::vector<qint64> starts{disc.tracks[0].start, disc.tracks[1].start, disc.tracks[2].start};
  EXPECT_EQ(starts, (std::vector<qint64>{0, 300, 500}));
  EXPECT_EQ(disc.tracks[0].pregap, 0);  // the lead pregap the file holds is not on the disc
  EXPECT_EQ(disc.lead_out, 600);
  EXPECT_EQ(disc.title, QStringLiteral("Nero Disc"));
  EXPECT_EQ(disc.performer, QStringLiteral("Band"));
  EXPECT_EQ(disc.tracks[0].title, QStringLiteral("One"));
  EXPECT_EQ(disc.tracks[1].performer, QStringLiteral("Band"));  // written as a TAB
  EXPECT_EQ(disc.tracks[2].title, QStringLiteral("Three"));
  EXPECT_EQ(disc.tracks[2].performer, QStringLiteral("Guest"));
  EXPECT_EQ(disc.tracks[1].isrc, QStringLiteral("XXXXX0000002"));
  EXPECT_EQ(disc.catalog, QStringLiteral("0123456789012"));
  ASSERT_EQ(disc.files.size(), 1u);
  EXPECT_EQ(disc.files[0].path, QStringLiteral("/images/disc.nrg"));
  EXPECT_EQ(disc.files[0].facts.kind, ImageFileKind::Binary);
  ASSERT_EQ(disc.spans.size(), 1u);
  EXPECT_EQ(disc.spans[0].offset, 150 * kImageSectorBytes);
  EXPECT_EQ(disc.spans[0].samples, 600 * kImageSectorSamples);
}

TEST_F(NrgImageTest, TrackAtOnceImage) {
  const test::DiscImage image = fixture_.BuildNrg(QStringLiteral("tao"), 400);
  const ImageLayoutResult read = ReadBytes(ReadAll(image.nrg));
  ASSERT_TRUE(read.Succeeded()) << read.status.text.toStdString();
  ASSERT_EQ(read.value->tracks.size(), 1u);
  EXPECT_EQ(read.value->lead_out, 400);
  EXPECT_EQ(read.value->spans.at(0).offset, 0);
}

void PutBe(QByteArray& bytes, qsizetype at, quint64 value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>((value >> ((width - 1 - i) * 8)) & 0xff);
}

QByteArray Be(quint64 value, int width) {
  QByteArray bytes(width, '\0');
  PutBe(bytes, 0, value, width);
  return bytes;
}

QByteArray Chunk(const char* id, const QByteArray& data) { return QByteArray(id) + Be(data.size(), 4) + data; }

// An Enhanced CD copied track at once: audio in session 1, a data track in session 2, which the
// disc places 11400 sectors later than the image holds it.
TEST(NrgImage, TracksLieWhereTheirLbasSay) {
  constexpr qint64 kAudio = 300, kData = 100, kSessionGap = 11400;
  QByteArray image((kAudio + kData) * kImageSectorBytes, '\0');
  const QByteArray entries = Be(0, 4) + Be(kAudio * kImageSectorBytes, 4) + Be(7, 4) + Be(0, 4) + Be(0, 4) +
                             Be(kAudio * kImageSectorBytes, 4) + Be(kData * kImageSectorBytes, 4) + Be(6, 4) +
                             Be(kAudio + kSessionGap, 4) + Be(0, 4);
  const qint64 table = image.size();
  image += Chunk("ETNF", entries) + Chunk("SINF", Be(1, 4)) + Chunk("SINF", Be(1, 4)) + Chunk("END!", {});
  image += QByteArray("NERO") + Be(table, 4);
  const ImageLayoutResult read = ReadBytes(image);
  ASSERT_TRUE(read.Succeeded()) << read.status.text.toStdString();
  const DiscImageLayout& disc = *read.value;
  ASSERT_EQ(disc.tracks.size(), 2u);
  EXPECT_FALSE(disc.tracks[1].audio);
  EXPECT_EQ(disc.tracks[1].pregap, kAudio);  // the gap is the data track's
  EXPECT_EQ(disc.tracks[1].start, kAudio + kSessionGap);
  EXPECT_EQ(disc.last_session_start, kAudio + kSessionGap);
  EXPECT_EQ(disc.lead_out, kAudio + kSessionGap + kData);
  ASSERT_EQ(disc.spans.size(), 3u);
  EXPECT_EQ(disc.spans[1].kind, ImageSpan::Kind::Silence);
  EXPECT_EQ(disc.spans[2].offset, kAudio * kImageSectorBytes);
}

// A 64-bit track-at-once entry whose offset reads as negative: once an arithmetic overflow.
TEST(NrgImage, NegativeTrackAtOnceOffsetIsRefused) {
  QByteArray image(2 * kImageSectorBytes, '\0');
  const QByteArray entry = Be(0xBEBEBEBEBEBEBEBEULL, 8) + Be(0x7FFFFFFFFFFFFFFFULL, 8) + Be(7, 4) + Be(0, 4) + Be(0, 8);
  image += Chunk("ETN2", entry) + Chunk("END!", {}) + QByteArray("NER5") + Be(2 * kImageSectorBytes, 8);
  const ImageLayoutResult read = ReadBytes(image);
  EXPECT_EQ(read.status.text, StringTable::Format(text::kNrgTrackOutside, {1}));
}

struct Damage {
  const char* name;
  std::function<void(QByteArray&)> damage;
  int text_id;
  // The refusal's fields, from the damaged image.
  std::function<QVariantList(const QByteArray&)> args;
};

class NrgImageDamage : public NrgImageTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(NrgImageDamage, RefusedWithItsReason) {
  QByteArray image = DaoImage();
  GetParam().damage(image);
  const ImageLayoutResult read = ReadBytes(image);
  ASSERT_FALSE(read.Succeeded());
  QString expected = StringTable::Text(GetParam().text_id);
  for (const QVariant& arg : GetParam().args(image)) expected = FormatText(expected, {arg});
  EXPECT_EQ(read.status.text, expected);
}

qsizetype ChunkAt(const QByteArray& image, const char* id) { return image.lastIndexOf(id); }
QVariantList None(const QByteArray&) { return {}; }
// The first DAOX entry's field at `field` bytes into it.
qsizetype DaoEntry(const QByteArray& image, int field) { return ChunkAt(image, "DAOX") + 8 + 22 + field; }

INSTANTIATE_TEST_SUITE_P(
    Damaged, NrgImageDamage,
    ::testing::Values(
        Damage{"no_footer", [](QByteArray& image) { image.chop(3); }, text::kNrgNoFooter, None},
        Damage{"footer_past_end", [](QByteArray& image) { PutBe(image, image.size() - 8, 1ULL << 40, 8); },
               text::kNrgFooterOutside, [](const QByteArray&) { return QVariantList{QString::number(1ULL << 40)}; }},
        Damage{"chunk_length_lies", [](QByteArray& image) { PutBe(image, ChunkAt(image, "CDTX") + 4, 0xFFFFFFF0, 4); },
               text::kNrgChunkPastEnd,
               [](const QByteArray& image) {
                 return QVariantList{QStringLiteral("CDTX"), QString::number(ChunkAt(image, "CDTX")),
                                     QString::number(0xFFFFFFF0u)};
               }},
        Damage{"dao_size_misfits",
               [](QByteArray& image) { PutBe(image, ChunkAt(image, "DAOX") + 4, 22 + 42 * 3 - 1, 4); },
               text::kNrgChunkSize,
               [](const QByteArray& image) {
                 return QVariantList{QStringLiteral("DAOX"), QString::number(ChunkAt(image, "DAOX")),
                                     QString::number(22 + 42 * 3 - 1)};
               }},
        Damage{"track_end_past_data", [](QByteArray& image) { PutBe(image, DaoEntry(image, 34), 1ULL << 50, 8); },
               text::kNrgTrackOutside, [](const QByteArray&) { return QVariantList{1}; }},
        Damage{"track_index_not_a_sector",
               [](QByteArray& image) { PutBe(image, DaoEntry(image, 26), 150 * 2352 + 1, 8); }, text::kNrgTrackSectors,
               [](const QByteArray&) {
                 return QVariantList{1, 2352};
               }},
        Damage{"sub_channel_audio", [](QByteArray& image) { PutBe(image, DaoEntry(image, 12), 2448, 2); },
               text::kNrgTrackSectors,
               [](const QByteArray&) {
                 return QVariantList{1, 2448};
               }},
        Damage{"no_track_chunk", [](QByteArray& image) { image.replace("DAOX", "XOAD"); }, text::kNrgNoTracks, None},
        Damage{"tracks_overlap",
               [](QByteArray& image) { PutBe(image, ChunkAt(image, "CUEX") + 8 + 8 * 4 + 4, 100, 4); },
               text::kNrgTrackOverlap,
               [](const QByteArray&) {
                 return QVariantList{2, 1};
               }}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace corvane
