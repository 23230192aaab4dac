// The format rules the conversion takes from the catalogue: the stream each encoder is fed, the
// tags written afterwards, and the names corvane-cli takes.
#include "formats/OutputFormatCatalogue.h"

#include <gtest/gtest.h>

#include "formats/EncodeSettings.h"

namespace corvane {
namespace {

constexpr auto kUnknown = static_cast<FormatCode>(5);

TEST(OutputFormatCatalogue, EncoderInputFollowsTheFormat) {
  EncodeSettings settings;
  settings.sample_rate = 22050;
  settings.channels = 1;
  auto input = [&settings](FormatCode format, int rate, int channels) {
    settings.format = format;
    return catalogue::InputFor(settings, rate, channels);
  };
  EXPECT_EQ(input(FormatCode::Mp3, 48000, 2), (EncoderInput{true, 22050, 1}));
  EXPECT_EQ(input(kUnknown, 48000, 2), (EncoderInput{true, 22050, 1}));
  EXPECT_EQ(input(FormatCode::Flac, 96000, 6).mixer, false);
  EXPECT_EQ(input(FormatCode::Ape, 96000, 6), (EncoderInput{true, 96000, 2}));
  // Musepack: 44.1 or 48 kHz and up to two channels pass as they are; anything else is mixed.
  EXPECT_EQ(input(FormatCode::Musepack, 48000, 2), (EncoderInput{false, 48000, 2}));
  EXPECT_EQ(input(FormatCode::Musepack, 44100, 1), (EncoderInput{false, 44100, 1}));
  EXPECT_EQ(input(FormatCode::Musepack, 32000, 2), (EncoderInput{true, 44100, 2}));
  EXPECT_EQ(input(FormatCode::Musepack, 48000, 6), (EncoderInput{true, 48000, 2}));
}

TEST(OutputFormatCatalogue, TagsAndNamedWriters) {
  EXPECT_EQ(catalogue::TagsOf(FormatCode::Mp3), OutputTags::Id3);
  EXPECT_EQ(catalogue::TagsOf(FormatCode::Wav), OutputTags::TagComponent);
  EXPECT_EQ(catalogue::TagsOf(FormatCode::Ogg), OutputTags::TagComponent);
  for (FormatCode code :
       {FormatCode::Wma, FormatCode::Flac, FormatCode::Ape, FormatCode::Musepack, FormatCode::Vox, kUnknown}) {
    EXPECT_EQ(catalogue::TagsOf(code), OutputTags::None) << static_cast<int>(code);
    EXPECT_EQ(catalogue::WriterNeedsName(code), code == FormatCode::Flac) << static_cast<int>(code);
  }
}

TEST(OutputFormatCatalogue, CommandLineNamesIgnoreCase) {
  ASSERT_NE(catalogue::FindFormatByExtension(QStringLiteral("MPC")), nullptr);
  EXPECT_EQ(catalogue::FindFormatByExtension(QStringLiteral("MPC"))->code, FormatCode::Musepack);
  EXPECT_EQ(catalogue::FindFormatByExtension(QStringLiteral(".mp3")), nullptr);
  EXPECT_EQ(catalogue::FindFormatByExtension(QStringLiteral("mp")), nullptr);
  ASSERT_NE(catalogue::FindWavCodecByOption(QStringLiteral("ALaw")), nullptr);
  EXPECT_EQ(catalogue::FindWavCodecByOption(QStringLiteral("ALaw"))->code, WavCodec::ALaw);
  EXPECT_EQ(catalogue::FindWavCodecByOption(QStringLiteral("A-law")), nullptr);
}

}  // namespace
}  // namespace corvane
