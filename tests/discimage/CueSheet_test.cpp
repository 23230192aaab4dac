// The cue sheet reader on sheets in memory, with a fake probe for their data files: text
// encodings and line ends, fields, sector sizes of data tracks in a shared BIN, silence gaps, and
// the damaged sheets it must refuse with their reason.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"
#include "discimage/CueSheet.h"
#include "support/FakeImageProbe.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

constexpr qint64 kSector = kImageSectorBytes;

class CueSheetTest : public ::testing::Test {
 protected:
  ImageLayoutResult Read(const QByteArray& sheet) { return ReadCueSheet(sheet, folder_.path(), probe_.Probe()); }

  DiscImageLayout ReadOk(const QByteArray& sheet) {
    ImageLayoutResult result = Read(sheet);
    EXPECT_TRUE(result.Succeeded()) << result.status.text.toStdString();
    return result.value.value_or(DiscImageLayout{});
  }

  QTemporaryDir folder_;
  test::FakeImageProbe probe_;
};

struct EncodingCase {
  const char* name;
  QByteArray prefix;
  QByteArray title;  // "Björk Café" in the sheet's encoding
  QByteArray line_end;
};

class CueSheetEncoding : public CueSheetTest, public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(CueSheetEncoding, FieldsReadInTheSheetsEncoding) {
  const EncodingCase& sheet = GetParam();
  probe_.Raw(QStringLiteral("disc.bin"), 1000 * kSector);
  const QByteArray text = sheet.prefix +
                          "rem genre \"Art Pop\"\nREM DATE 1997\nREM DISCID 0B001E03\nREM COMMENT \"Ripped in 2024\"\n"
                          "CATALOG 0123456789012\nPERFORMER \"Björk\"\nTITLE \"" +
                          sheet.title +
                          "\"\nfile\t\"disc.bin\" binary\n\ttrack 01 audio\n"
                          "    TITLE Unquoted Title\n    PERFORMER \"" +
                          sheet.title +
                          "\"\n    SONGWRITER \"Guðmundsdóttir\"\n"
                          "    FLAGS DCP PRE\n    ISRC ISXXX9700001\n    INDEX 01 00:00:00\n"
                          "  TRACK 02 AUDIO\n    FLAGS 4CH\n    INDEX 01 00:05:00\n";
  QByteArray lines = text;
  lines.replace("\n", sheet.line_end);
  if (QByteArray(sheet.name) == "windows1252") lines.replace("ö", "\xF6").replace("ð", "\xF0").replace("ó", "\xF3");
  const DiscImageLayout disc = ReadOk(lines);
  const QString cafe = QStringLiteral("Bj\u00F6rk Caf\u00E9");
  EXPECT_EQ(disc.title, cafe);
  EXPECT_EQ(disc.performer, QStringLiteral("Bj\u00F6rk"));
  EXPECT_EQ(disc.genre, QStringLiteral("Art Pop"));
  EXPECT_EQ(disc.date, QStringLiteral("1997"));
  EXPECT_EQ(disc.disc_id, QStringLiteral("0B001E03"));
  EXPECT_EQ(disc.comment, QStringLiteral("Ripped in 2024"));
  EXPECT_EQ(disc.catalog, QStringLiteral("0123456789012"));
  ASSERT_EQ(disc.tracks.size(), 2u);
  const ImageTrack& first = disc.tracks[0];
  EXPECT_EQ(first.title, QStringLiteral("Unquoted Title"));
  EXPECT_EQ(first.performer, cafe);
  EXPECT_EQ(first.songwriter, QStringLiteral("Gu\u00F0mundsd\u00F3ttir"));
  EXPECT_EQ(first.isrc, QStringLiteral("ISXXX9700001"));
  EXPECT_TRUE(first.copy_permitted && first.pre_emphasis && !first.four_channel);
  EXPECT_TRUE(disc.tracks[1].four_channel && !disc.tracks[1].copy_permitted);
  EXPECT_EQ(disc.tracks[1].start, 375);
  EXPECT_EQ(disc.lead_out, 1000);
}

INSTANTIATE_TEST_SUITE_P(Encodings, CueSheetEncoding,
                         ::testing::Values(EncodingCase{"utf8", "", "Björk Café", "\n"},
                                           EncodingCase{"utf8_mark", "\xEF\xBB\xBF", "Björk Café", "\r\n"},
                                           EncodingCase{"windows1252", "", "Bj\xF6rk Caf\xE9", "\r"}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// A MODE1/2048 data track, then audio in the same BIN: the audio starts after 2048-byte sectors.
TEST_F(CueSheetTest, DataTrackSectorsKeepAudioOffsetsInASharedBin) {
  probe_.Raw(QStringLiteral("mixed.bin"), 300 * 2048 + 1150 * kSector);
  const DiscImageLayout disc = ReadOk(
      "FILE \"mixed.bin\" BINARY\n TRACK 01 MODE1/2048\n  INDEX 01 00:00:00\n"
      " TRACK 02 AUDIO\n  PREGAP 00:02:00\n  INDEX 01 00:04:00\n  INDEX 02 00:10:00\n"
      " TRACK 03 AUDIO\n  INDEX 00 00:12:00\n  INDEX 01 00:12:50\n  POSTGAP 00:01:00\n");
  ASSERT_EQ(disc.tracks.size(), 3u);
  EXPECT_FALSE(disc.tracks[0].audio);
  EXPECT_EQ(disc.tracks[1].pregap, 300);  // the PREGAP's silence is not in the file
  EXPECT_EQ(disc.tracks[1].start, 450);
  EXPECT_EQ(disc.tracks[1].indexes, std::vector<qint64>{900});
  EXPECT_EQ(disc.tracks[2].pregap, 1050);
  EXPECT_EQ(disc.tracks[2].start, 1100);
  EXPECT_EQ(disc.lead_out, 300 + 150 + 1150 + 75);
  ASSERT_EQ(disc.spans.size(), 4u);
  EXPECT_EQ(disc.spans[0].kind, ImageSpan::Kind::Data);
  EXPECT_EQ(disc.spans[1].kind, ImageSpan::Kind::Silence);
  EXPECT_EQ(disc.spans[1].samples, 150 * kImageSectorSamples);
  EXPECT_EQ(disc.spans[2].kind, ImageSpan::Kind::Audio);
  EXPECT_EQ(disc.spans[2].offset, 300 * 2048);
  EXPECT_EQ(disc.spans[2].samples, 1150 * kImageSectorSamples);
  EXPECT_EQ(disc.spans[3].samples, 75 * kImageSectorSamples);  // the POSTGAP
}

// A WAVE file's audio starts after its header; a decoded file's spans count samples.
TEST_F(CueSheetTest, SpanOffsetsFollowTheDataFilesKind) {
  ImageFileFacts wave;
  wave.kind = ImageFileKind::Wave;
  wave.audio_offset = 44;
  wave.audio_bytes = 100 * kSector;
  wave.samples = 100 * kImageSectorSamples;
  probe_.With(QStringLiteral("one.wav"), wave).Decoded(QStringLiteral("two.flac"), 50 * kImageSectorSamples + 100);
  const DiscImageLayout disc = ReadOk(
      "FILE \"one.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 00 00:01:00\n"
      "FILE \"two.flac\" WAVE\nINDEX 01 00:00:10\n");
  ASSERT_EQ(disc.spans.size(), 3u);  // the WAVE file's two tracks are one stretch of it
  EXPECT_EQ(disc.spans[0].offset, 44);
  EXPECT_EQ(disc.spans[0].samples, 100 * kImageSectorSamples);
  EXPECT_EQ(disc.spans[1].offset, 0);
  EXPECT_EQ(disc.spans[1].samples, 50 * kImageSectorSamples + 100);
  EXPECT_EQ(disc.spans[2].kind, ImageSpan::Kind::Silence);  // pads the last sector
  EXPECT_EQ(disc.spans[2].samples, kImageSectorSamples - 100);
  EXPECT_EQ(disc.tracks[1].pregap, 75);
  EXPECT_EQ(disc.tracks[1].start, 110);
  EXPECT_EQ(disc.lead_out, 151);
  EXPECT_EQ(probe_.Asked(), QStringList({QStringLiteral("one.wav:WAVE"), QStringLiteral("two.flac:WAVE")}));
}

// One file named with two type words, probed as two kinds: each part is read as its kind says.
TEST_F(CueSheetTest, FileNamedTwiceWithOtherTypesIsTwoEntries) {
  const ImageFileProbe probe = [](const QString&, const QString& declared) {
    ImageFileFacts facts;
    facts.kind = declared == QLatin1String("MOTOROLA") ? ImageFileKind::Motorola : ImageFileKind::Binary;
    facts.audio_bytes = 100 * kSector;
    return facts;
  };
  const ImageLayoutResult read = ReadCueSheet(
      "FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE \"a.bin\" MOTOROLA\nTRACK 02 AUDIO\nINDEX 01 "
      "00:00:00\n",
      folder_.path(), probe);
  ASSERT_TRUE(read.Succeeded()) << read.status.text.toStdString();
  ASSERT_EQ(read.value->files.size(), 2u);
  EXPECT_EQ(read.value->files[1].facts.kind, ImageFileKind::Motorola);
  ASSERT_EQ(read.value->spans.size(), 2u);
  EXPECT_EQ(read.value->spans[1].file, 1);
}

struct Refusal {
  const char* name;
  QByteArray sheet;
  qint64 bin_bytes;  // disc.bin's size; the sheets name no other file unless told
  int text_id;
  QVariantList args;
};

class CueSheetRefusal : public CueSheetTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CueSheetRefusal, RefusedWithItsReason) {
  const Refusal& refusal = GetParam();
  probe_.Raw(QStringLiteral("disc.bin"), refusal.bin_bytes);
  ImageFileFacts fifo;
  fifo.problem = ImageFileFacts::Problem::NotRegular;
  probe_.With(QStringLiteral("fifo.bin"), fifo);
  const ImageLayoutResult result = Read(refusal.sheet);
  ASSERT_FALSE(result.Succeeded());
  EXPECT_EQ(result.status.code, ImageLayoutCode::Refused);
  QString expected = StringTable::Text(refusal.text_id);
  for (const QVariant& arg : refusal.args) expected = FormatText(expected, {arg});
  EXPECT_EQ(result.status.text, expected);
}

const QByteArray kHead = "FILE \"disc.bin\" BINARY\n";
// TRACK lines `from`..`to`, track n starting n seconds into the file.
QByteArray Tracks(int from, int to) {
  QByteArray text;
  for (int n = from; n <= to; ++n)
    text += QStringLiteral("TRACK %1 AUDIO\nINDEX 01 %2:%3:00\n")
                .arg(n, 2, 10, QLatin1Char('0'))
                .arg(n / 60, 2, 10, QLatin1Char('0'))
                .arg(n % 60, 2, 10, QLatin1Char('0'))
                .toUtf8();
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, CueSheetRefusal,
    ::testing::Values(
        Refusal{"track_after_99",
                kHead + "TRACK 99 AUDIO\nINDEX 01 00:00:00\nTRACK 100 AUDIO\nINDEX 01 00:01:00\n",
                75 * 60 * kSector,
                text::kCueBadTrack,
                {4}},
        Refusal{"track_number_falls",
                kHead + "TRACK 99 AUDIO\nINDEX 01 00:00:00\nTRACK 01 AUDIO\nINDEX 01 00:01:00\n",
                75 * 60 * kSector,
                text::kCueTrackNumberOrder,
                {4, 1, 99}},
        Refusal{"more_than_99_tracks",
                kHead + Tracks(1, 99) + "TRACK 100 AUDIO\nINDEX 01 02:00:00\n",
                75 * 200 * kSector,
                text::kCueBadTrack,
                {200}},
        Refusal{"no_index_01",
                kHead + "TRACK 01 AUDIO\nINDEX 00 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n",
                1000 * kSector,
                text::kCueNoIndex01,
                {1}},
        Refusal{"index_goes_back",
                kHead + "TRACK 01 AUDIO\nINDEX 01 00:05:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n",
                1000 * kSector,
                text::kCueIndexBackwards,
                {5, 1, 2}},
        Refusal{"index_02_at_index_01",
                kHead + "TRACK 01 AUDIO\nINDEX 01 00:05:00\nINDEX 02 00:05:00\n",
                1000 * kSector,
                text::kCueIndexBackwards,
                {4, 2, 1}},
        Refusal{"index_numbers_skip",
                kHead + "TRACK 01 AUDIO\nINDEX 01 00:00:00\nINDEX 03 00:05:00\n",
                1000 * kSector,
                text::kCueIndexNumberOrder,
                {4, 3, 1}},
        Refusal{
            "negative_time", kHead + "TRACK 01 AUDIO\nINDEX 01 -1:00:00\n", 1000 * kSector, text::kCueBadIndex, {3}},
        Refusal{"frames_75", kHead + "TRACK 01 AUDIO\nINDEX 01 00:00:75\n", 1000 * kSector, text::kCueBadIndex, {3}},
        Refusal{"tracks_share_a_start",
                kHead + "TRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n",
                1000 * kSector,
                text::kLayoutTrackEmpty,
                {1}},
        Refusal{"index_past_file_end",
                kHead + "TRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:20:00\n",
                1000 * kSector,
                text::kPositionPastFileEnd,
                {5, QStringLiteral("00:20:00"), QStringLiteral("disc.bin")}},
        Refusal{"empty_bin",
                kHead + "TRACK 01 AUDIO\nINDEX 01 00:00:00\n",
                0,
                text::kDataFileEmpty,
                {1, QStringLiteral("disc.bin")}},
        Refusal{"eight_gigabyte_bin",
                kHead + "TRACK 01 AUDIO\nINDEX 01 00:00:00\n",
                8LL << 30,
                text::kLayoutTooLong,
                {812}},
        Refusal{"missing_file",
                "FILE \"gone.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
                0,
                text::kDataFileMissing,
                {1, QStringLiteral("gone.bin")}},
        Refusal{"fifo",
                "FILE \"fifo.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
                0,
                text::kDataFileNotRegular,
                {1, QStringLiteral("fifo.bin")}},
        Refusal{"track_before_file",
                "TRACK 01 AUDIO\n" + kHead + "INDEX 01 00:00:00\n",
                1000 * kSector,
                text::kCueTrackBeforeFile,
                {1}},
        Refusal{"unknown_type",
                kHead + "TRACK 01 MODE3/2352\nINDEX 01 00:00:00\n",
                1000 * kSector,
                text::kCueUnknownTrackType,
                {2, QStringLiteral("MODE3/2352")}},
        Refusal{"pregap_after_index",
                kHead + "TRACK 01 AUDIO\nINDEX 01 00:00:00\nPREGAP 00:02:00\n",
                1000 * kSector,
                text::kCueGapMisplaced,
                {4, QStringLiteral("PREGAP")}},
        Refusal{
            "data_only", kHead + "TRACK 01 MODE1/2352\nINDEX 01 00:00:00\n", 1000 * kSector, text::kLayoutNoAudio, {}},
        Refusal{"no_tracks", "garbage\x01\x02 not a sheet", 0, text::kLayoutNoTracks, {}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace corvane
