// The cdrdao table reader on tables in memory, with a fake probe for their data files: cdrdao's
// own arithmetic for SILENCE, ZERO, PREGAP, START and INDEX, CD-TEXT with octal escapes, flags,
// and the damaged tables it must refuse with their reason.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"
#include "discimage/TocFile.h"
#include "support/FakeImageProbe.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

constexpr qint64 kSamples = kImageSectorSamples;
constexpr qint64 kSector = kImageSectorBytes;

class TocFileTest : public ::testing::Test {
 protected:
  TocFileTest() { probe_.Raw(QStringLiteral("disc.bin"), 4000 * kSector); }
  ImageLayoutResult Read(const QByteArray& toc) { return ReadTocFile(toc, folder_.path(), probe_.Probe()); }

  QTemporaryDir folder_;
  test::FakeImageProbe probe_;
};

TEST_F(TocFileTest, PositionsFollowCdrdaosArithmetic) {
  const ImageLayoutResult read = Read(
      "CD_DA\nCATALOG \"0123456789012\"\n"
      "CD_TEXT {\n  LANGUAGE_MAP { 0 : EN }\n"
      "  LANGUAGE 0 { TITLE \"Caf\\303\\251 \\\"Disc\\\"\" PERFORMER \"Band\" GENRE { 0, 1, 0 } }\n}\n"
      "// track 1: 750 sectors of silence and 250 of audio before INDEX 01, then 1500 more\n"
      "TRACK AUDIO\nCOPY\nPRE_EMPHASIS\nISRC \"USXXX0100001\"\n"
      "CD_TEXT { LANGUAGE 0 { TITLE \"One\" PERFORMER \"Band\" } }\n"
      "SILENCE 00:10:00\nFILE \"disc.bin\" 0 00:03:25\nSTART 00:13:25\n"
      "AUDIOFILE \"disc.bin\" 00:03:25 00:20:00\nINDEX 00:10:00\n"
      "// track 2: a silent PREGAP, 1000 samples and 588 of ZERO, padded to a whole sector\n"
      "TRACK AUDIO\nNO COPY\nTWO_CHANNEL_AUDIO\nPREGAP 00:02:00\nFILE \"disc.bin\" 00:23:25 1000\nZERO 588\n"
      "// track 3: START within the last track does not lengthen it\n"
      "TRACK AUDIO\nFOUR_CHANNEL_AUDIO\nSILENCE 00:02:00\nFILE \"disc.bin\" #2352 00:30:00 00:10:00\nSTART 00:02:00\n");
  ASSERT_TRUE(read.Succeeded()) << read.status.text.toStdString();
  const DiscImageLayout& disc = *read.value;
  EXPECT_EQ(disc.title, QStringLiteral("Caf\u00E9 \"Disc\""));
  EXPECT_EQ(disc.performer, QStringLiteral("Band"));
  EXPECT_EQ(disc.catalog, QStringLiteral("0123456789012"));
  ASSERT_EQ(disc.tracks.size(), 3u);
  const ImageTrack &one = disc.tracks[0], &two = disc.tracks[1], &three = disc.tracks[2];
  EXPECT_EQ(one.title, QStringLiteral("One"));
  EXPECT_EQ(one.isrc, QStringLiteral("USXXX0100001"));
  EXPECT_TRUE(one.copy_permitted && one.pre_emphasis && !one.four_channel);
  EXPECT_TRUE(!two.copy_permitted && !two.pre_emphasis && !two.four_channel && three.four_channel);
  // Track 1: 750 + 250 sectors before START, 1500 after; INDEX 02 750 after INDEX 01.
  EXPECT_EQ(one.pregap, 0);
  EXPECT_EQ(one.start, 1000);
  EXPECT_EQ(one.indexes, std::vector<qint64>{1750});
  // Track 2: 150 sectors of PREGAP, then 1588 samples: three sectors.
  EXPECT_EQ(two.pregap, 2500);
  EXPECT_EQ(two.start, 2650);
  // Track 3: 150 + 750 sectors, INDEX 01 150 in; the lead-out after 900, not 1050.
  EXPECT_EQ(three.pregap, 2653);
  EXPECT_EQ(three.start, 2803);
  EXPECT_EQ(disc.lead_out, 3553);

  ASSERT_EQ(disc.files.size(), 1u);
  EXPECT_EQ(disc.files[0].facts.kind, ImageFileKind::Motorola);  // cdrdao's raw samples are big-endian
  const std::vector<std::tuple<ImageSpan::Kind, qint64, qint64>> expected = {
      {ImageSpan::Kind::Silence, 0, 750 * kSamples},
      {ImageSpan::Kind::Audio, 0, 1750 * kSamples},
      {ImageSpan::Kind::Silence, 0, 150 * kSamples},
      {ImageSpan::Kind::Audio, 1750 * kSector, 1000},
      {ImageSpan::Kind::Silence, 0, 3 * kSamples - 1000 + 150 * kSamples},
      {ImageSpan::Kind::Audio, 2352 + 2250 * kSector, 750 * kSamples}};
  ASSERT_EQ(disc.spans.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(disc.spans[i].kind, std::get<0>(expected[i])) << "span " << i;
    EXPECT_EQ(disc.spans[i].offset, std::get<1>(expected[i])) << "span " << i;
    EXPECT_EQ(disc.spans[i].samples, std::get<2>(expected[i])) << "span " << i;
  }
  EXPECT_EQ(probe_.Asked(), QStringList{QStringLiteral("disc.bin:AUDIOFILE")});  // once for four FILE statements
}

// A data track from a DATAFILE, then audio from a WAVE file, whose samples stay little-endian.
TEST_F(TocFileTest, DataFilesAndWaveFiles) {
  ImageFileFacts wave;
  wave.kind = ImageFileKind::Wave;
  wave.audio_offset = 44;
  wave.audio_bytes = 600 * kSector;
  probe_.Raw(QStringLiteral("data.iso"), 300 * 2048).With(QStringLiteral("audio.wav"), wave);
  const ImageLayoutResult read = Read(
      "CD_ROM\nTRACK MODE1\nDATAFILE \"data.iso\"\nZERO 00:02:00\n"
      "TRACK AUDIO\nSILENCE 00:02:00\nSTART\nFILE \"audio.wav\" 0\n");
  ASSERT_TRUE(read.Succeeded()) << read.status.text.toStdString();
  const DiscImageLayout& disc = *read.value;
  ASSERT_EQ(disc.tracks.size(), 2u);
  EXPECT_FALSE(disc.tracks[0].audio);
  EXPECT_EQ(disc.tracks[1].pregap, 450);
  EXPECT_EQ(disc.tracks[1].start, 600);
  EXPECT_EQ(disc.lead_out, 1200);
  EXPECT_EQ(disc.files[1].facts.kind, ImageFileKind::Wave);
  EXPECT_EQ(disc.spans.back().offset, 44);
  EXPECT_EQ(probe_.Asked(), QStringList({QStringLiteral("data.iso:DATAFILE"), QStringLiteral("audio.wav:AUDIOFILE")}));
}

struct Refusal {
  const char* name;
  QByteArray toc;
  int text_id;
  QVariantList args;
};

class TocFileRefusal : public TocFileTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(TocFileRefusal, RefusedWithItsReason) {
  const Refusal& refusal = GetParam();
  const ImageLayoutResult result = Read(refusal.toc);
  ASSERT_FALSE(result.Succeeded());
  QString expected = StringTable::Text(refusal.text_id);
  for (const QVariant& arg : refusal.args) expected = FormatText(expected, {arg});
  EXPECT_EQ(result.status.text, expected);
}

QByteArray HundredTracks() {
  QByteArray toc = "CD_DA\n";
  for (int i = 0; i < 100; ++i) toc += "TRACK AUDIO\nFILE \"disc.bin\" 0 00:00:10\n";
  return toc;
}

const QByteArray kTrack = "CD_DA\nTRACK AUDIO\n";

INSTANTIATE_TEST_SUITE_P(
    Damaged, TocFileRefusal,
    ::testing::Values(
        Refusal{"only_silence", kTrack + "SILENCE 0:0:74\n", text::kLayoutNoAudio, {}},
        Refusal{"more_than_99_tracks", HundredTracks(), text::kTocTooManyTracks, {200}},
        Refusal{"start_past_data",
                kTrack + "FILE \"disc.bin\" 0 00:01:00\nSTART 00:01:00\n",
                text::kTocStartPastData,
                {4, 1}},
        Refusal{"start_twice", kTrack + "FILE \"disc.bin\" 0 00:01:00\nSTART\nSTART\n", text::kTocStartTwice, {5}},
        Refusal{
            "pregap_after_data", kTrack + "FILE \"disc.bin\" 0 00:01:00\nPREGAP 00:02:00\n", text::kTocPregapLate, {4}},
        Refusal{"index_past_track",
                kTrack + "FILE \"disc.bin\" 0 00:01:00\nINDEX 00:01:00\n",
                text::kTocIndexOutside,
                {4, 1}},
        Refusal{"file_past_end",
                kTrack + "FILE \"disc.bin\" 00:50:00 00:10:00\n",
                text::kPositionPastFileEnd,
                {3, QStringLiteral("01:00:00"), QStringLiteral("disc.bin")}},
        Refusal{
            "missing_file", kTrack + "FILE \"gone.wav\" 0\n", text::kDataFileMissing, {3, QStringLiteral("gone.wav")}},
        Refusal{"unclosed_string", kTrack + "FILE \"disc.bin 0\n", text::kTocUnterminated, {3}},
        Refusal{"unclosed_cd_text", "CD_DA\nCD_TEXT {\n LANGUAGE 0 { TITLE \"x\" }\n", text::kTocUnterminated, {4}},
        Refusal{"unknown_mode", "CD_DA\nTRACK MODE9\n", text::kTocUnknownMode, {2, QStringLiteral("MODE9")}},
        Refusal{"audio_with_sub_channel", "CD_DA\nTRACK AUDIO RW_RAW\n", text::kTocSubChannelAudio, {2}},
        Refusal{"fifo", kTrack + "FIFO \"/tmp/pipe\" 00:10:00\n", text::kTocNoStream, {3, QStringLiteral("FIFO")}},
        Refusal{"standard_input", kTrack + "FILE \"-\" 0 00:10:00\n", text::kTocNoStream, {3, QStringLiteral("-")}},
        Refusal{
            "data_before_track", "CD_DA\nSILENCE 00:01:00\n", text::kTocOutsideTrack, {2, QStringLiteral("SILENCE")}},
        Refusal{"garbage",
                kTrack + "FILE \"disc.bin\" 0 00:01:00\nBOGUS\n",
                text::kTocUnexpected,
                {4, QStringLiteral("BOGUS")}},
        Refusal{"no_tracks", "CD_DA\n// nothing\n", text::kLayoutNoTracks, {}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace corvane
