// The quality panel rules, driven through the logic with the real encoders behind it.
#include "formats/QualityPanel.h"

#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"
#include "support/ScriptedUserInterface.h"

namespace corvane {
namespace {

QStringList Range(int lowKbps, int highKbps) {
  QStringList texts;
  for (int kbps : catalogue::kBitrates) {
    if (kbps >= lowKbps && kbps <= highKbps) texts << QString::number(kbps);
  }
  return texts;
}

class PanelRules : public testing::Test {
 protected:
  // Selects format, rate and channels the way a user does.
  void Choose(QualityPanel& panel, FormatCode format, int rate, ChannelRadio channels = ChannelRadio::Stereo) {
    panel.SelectChannels(channels);
    panel.SelectSampleRate(catalogue::PositionOfSampleRate(rate));
    panel.SelectFormat(catalogue::PositionOfFormat(format));
  }

  MemorySettings store_;
  EncoderCapabilities capabilities_;
  QualityPanel converter_{PanelPage::Converter, capabilities_, store_};
  QualityPanel ripper_{PanelPage::Ripper, capabilities_, store_};
};

TEST_F(PanelRules, FreshPanelHoldsTheFixedTables) {
  const QualityPanelState& s = converter_.State();
  EXPECT_EQ(s.format.items, (QStringList{"MP3", "WAV", "OGG", "WMA", "FLAC", "Monkey's Audio", "MusePack", "VOX"}));
  EXPECT_EQ(s.sample_rate.items.size(), 9);
  EXPECT_EQ(s.wav_codec.items, (QStringList{"PCM", "ADPCM", "A-law", "U-law"}));
  EXPECT_EQ(s.wav_codec.selected, 0);
  EXPECT_EQ(s.musepack.items.at(3), QStringLiteral("3: 'standard' quality"));
  EXPECT_EQ(s.musepack.selected, 3);
  EXPECT_EQ(s.mp3_vbr.items.first(), QStringLiteral("VBR Quality 0 (Best)"));
  EXPECT_EQ(s.mp3_vbr.items.last(), QStringLiteral("VBR Quality 9 (Worst)"));
  EXPECT_EQ(s.mp3_vbr.selected, 4);
  EXPECT_TRUE(s.bitrate.items.isEmpty());
  EXPECT_TRUE(s.wma.items.isEmpty());
  EXPECT_TRUE(s.normalize_available);
  EXPECT_FALSE(ripper_.State().normalize_available);
}

TEST_F(PanelRules, Mp3OffersWhatLameTakesAndKeepsTheBitrateAcrossRateChangesWhenItCan) {
  Choose(converter_, FormatCode::Mp3, 44100);
  const QualityPanelState& s = converter_.State();
  EXPECT_EQ(s.bitrate.items, Range(32, 320));
  EXPECT_TRUE(s.mp3_vbr.visible);
  EXPECT_FALSE(s.wav_codec.visible || s.musepack.visible || s.wma.visible);
  EXPECT_FALSE(s.bits_enabled);
  EXPECT_TRUE(s.bitrate.enabled && s.sample_rate.enabled && s.channels_enabled && s.vbr_enabled);
  EXPECT_EQ(s.mp3_vbr.enabled, s.vbr_checked);

  converter_.SelectBitrate(static_cast<int>(s.bitrate.items.indexOf(QStringLiteral("128"))));
  converter_.SelectSampleRate(catalogue::PositionOfSampleRate(16000));
  EXPECT_EQ(s.bitrate.items, Range(8, 160));
  EXPECT_EQ(s.bitrate.items.at(s.bitrate.selected), QStringLiteral("128"));
  converter_.SelectSampleRate(catalogue::PositionOfSampleRate(8000));
  EXPECT_EQ(s.bitrate.items, Range(8, 64));
  EXPECT_EQ(s.bitrate.selected, 0);  // 128 is gone: the lowest offered
  EXPECT_EQ(converter_.ReadPanelSettings().bitrate, 8);
}

TEST_F(PanelRules, OggBoundsComeFromLibvorbisAndDependOnChannels) {
  Choose(converter_, FormatCode::Ogg, 44100);
  EXPECT_EQ(converter_.State().bitrate.items, Range(48, 320));
  converter_.SelectChannels(ChannelRadio::Mono);
  EXPECT_EQ(converter_.State().bitrate.items, Range(32, 224));
  EXPECT_FALSE(converter_.State().mp3_vbr.enabled);
  EXPECT_TRUE(converter_.State().mp3_vbr.visible);
  EXPECT_FALSE(converter_.State().vbr_enabled);
}

TEST_F(PanelRules, WmaListsEngineRatesInReverseAndAnExactBitrateWinsOverALongerOne) {
  Choose(converter_, FormatCode::Wma, 44100);
  const QualityPanelState& s = converter_.State();
  QStringList reversed = Range(24, 320);
  std::reverse(reversed.begin(), reversed.end());
  EXPECT_EQ(s.bitrate.items, reversed);  // the engine's last rate on top
  EXPECT_TRUE(s.wma.visible);
  EXPECT_TRUE(s.wma.items.isEmpty());  // the engine has no VBR WMA encoder

  // "32" must stay 32 although "320" stands above it and begins with the same digits.
  converter_.SelectBitrate(static_cast<int>(s.bitrate.items.indexOf(QStringLiteral("32"))));
  converter_.SelectSampleRate(catalogue::PositionOfSampleRate(22050));
  EXPECT_EQ(s.bitrate.items.at(s.bitrate.selected), QStringLiteral("32"));
}

TEST_F(PanelRules, WmaChecksBeforeARun) {
  test::ScriptedUserInterface ui;
  Choose(converter_, FormatCode::Wma, 44100);
  EXPECT_TRUE(converter_.CheckBeforeRun(ui));
  EXPECT_TRUE(ui.messages.empty());

  converter_.SelectBitrate(-1);
  EXPECT_FALSE(converter_.CheckBeforeRun(ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral("No Bitrate been set.\n\n")));
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);

  converter_.ClickVbr();  // VBR on: the WMA box is used instead, and it is empty
  EXPECT_TRUE(converter_.State().wma.enabled);
  EXPECT_FALSE(converter_.State().bitrate.enabled);
  EXPECT_FALSE(converter_.CheckBeforeRun(ui));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_TRUE(ui.messages[1].text.startsWith(QStringLiteral("No WMA VBR Quality been set.")));
  EXPECT_EQ(converter_.ReadPanelSettings().wma_quality, 0);

  // Other formats are never refused here.
  converter_.SelectFormat(catalogue::PositionOfFormat(FormatCode::Mp3));
  EXPECT_TRUE(converter_.CheckBeforeRun(ui));
}

TEST_F(PanelRules, VbrClickIsStoredInThePagesOwnSection) {
  Choose(converter_, FormatCode::Mp3, 44100);
  const bool before = converter_.State().vbr_checked;
  converter_.ClickVbr();
  EXPECT_EQ(converter_.State().vbr_checked, !before);
  EXPECT_EQ(converter_.State().mp3_vbr.enabled, !before);
  EXPECT_EQ(store_.ReadNumber(keys::section::kConvert, keys::kMp3VbrEnabled, -5), before ? 0 : 1);
  ripper_.ClickVbr();
  EXPECT_EQ(store_.ReadNumber(keys::section::kRip, keys::kMp3VbrEnabled, -5), 1);
  EXPECT_EQ(store_.ReadNumber(keys::section::kConvert, keys::kMp3VbrEnabled, -5), before ? 0 : 1);
}

TEST_F(PanelRules, WavCodecRuleAndLabel) {
  Choose(converter_, FormatCode::Wav, 22050);
  const QualityPanelState& s = converter_.State();
  EXPECT_EQ(s.quality_label, QStringLiteral("Audio Codec:"));
  EXPECT_TRUE(s.wav_codec.visible && s.wav_codec.enabled);
  EXPECT_FALSE(s.bitrate.enabled || s.vbr_enabled);
  EXPECT_TRUE(s.bits_enabled);
  converter_.SelectWavCodec(2);  // A-law
  EXPECT_FALSE(s.bits_enabled);
  converter_.SelectWavCodec(-1);  // no selection changes nothing
  EXPECT_FALSE(s.bits_enabled);
  converter_.SelectWavCodec(0);  // PCM
  EXPECT_TRUE(s.bits_enabled);
  converter_.SelectBits(BitsRadio::Bits8);
  EXPECT_EQ(converter_.ReadPanelSettings().bits, 8);
}

TEST_F(PanelRules, MusepackFlacApeAndVox) {
  Choose(converter_, FormatCode::Musepack, 44100);
  const QualityPanelState& s = converter_.State();
  EXPECT_TRUE(s.musepack.visible && s.musepack.enabled);
  EXPECT_EQ(s.musepack.selected, 3);
  EXPECT_FALSE(s.sample_rate.enabled || s.bitrate.enabled || s.channels_enabled || s.bits_enabled);

  for (FormatCode code : {FormatCode::Flac, FormatCode::Ape}) {
    converter_.SelectFormat(catalogue::PositionOfFormat(code));
    EXPECT_TRUE(s.mp3_vbr.visible);
    EXPECT_FALSE(s.mp3_vbr.enabled || s.sample_rate.enabled || s.channels_enabled || s.bitrate.enabled);
    EXPECT_TRUE(s.keep_tags_enabled);
  }
  ripper_.SelectFormat(catalogue::PositionOfFormat(FormatCode::Ape));
  EXPECT_FALSE(ripper_.State().keep_tags_enabled);

  converter_.SelectFormat(catalogue::PositionOfFormat(FormatCode::Vox));
  EXPECT_TRUE(s.wma.visible);
  EXPECT_FALSE(s.wma.enabled || s.channels_enabled || s.keep_tags_enabled);
  EXPECT_TRUE(s.sample_rate.enabled);
  ripper_.SelectFormat(catalogue::PositionOfFormat(FormatCode::Vox));
  EXPECT_FALSE(ripper_.State().keep_tags_enabled);
}

TEST_F(PanelRules, BitrateListOfFormatsWithoutBitrateHoldsAllSeventeen) {
  for (FormatCode code : {FormatCode::Wav, FormatCode::Flac, FormatCode::Ape, FormatCode::Musepack, FormatCode::Vox}) {
    converter_.FillBitrateList(44100, code, 2);
    EXPECT_EQ(converter_.State().bitrate.items, Range(8, 320));
  }
}

TEST_F(PanelRules, WithoutAConversionComponentTheMp3BoxStaysEmpty) {
  EncoderCapabilities none([] { return std::unique_ptr<IConversionComponent>(); });
  EXPECT_EQ(none.FindLowestSupportedBitrate(FormatCode::Mp3, 44100, 2), 0);
  EXPECT_EQ(none.FindHighestSupportedBitrate(FormatCode::Ogg, 44100, 2), 0);
  QualityPanel panel(PanelPage::Converter, none, store_);
  Choose(panel, FormatCode::Mp3, 44100);
  EXPECT_TRUE(panel.State().bitrate.items.isEmpty());
  EXPECT_EQ(panel.ReadPanelSettings().bitrate, 0);
  panel.FillBitrateList(44100, FormatCode::Wav, 2);
  EXPECT_EQ(panel.State().bitrate.items.size(), 17);
}

TEST_F(PanelRules, ReadPanelSettingsRecord) {
  Choose(converter_, FormatCode::Mp3, 48000, ChannelRadio::Mono);
  converter_.SelectBitrate(-1);  // no selection reads the first entry
  converter_.SelectMp3VbrQuality(7);
  converter_.SelectMusepackPreset(5);
  const EncodeSettings read = converter_.ReadPanelSettings();
  EXPECT_EQ(read.format, FormatCode::Mp3);
  EXPECT_EQ(read.sample_rate, 48000);
  EXPECT_EQ(read.bitrate, 32);
  EXPECT_EQ(read.channels, 1);
  EXPECT_EQ(read.bits, 16);
  EXPECT_EQ(read.mp3_vbr_quality, 7);
  EXPECT_EQ(read.musepack_preset, 5);
  EXPECT_EQ(read.wav_codec, WavCodec::Pcm);
}

TEST_F(PanelRules, NormalizePercentFollowsItsBox) {
  converter_.SetNormalize(true);
  EXPECT_TRUE(converter_.State().normalize_percent_enabled);
  converter_.SetNormalize(false);
  EXPECT_FALSE(converter_.State().normalize_percent_enabled);
  ripper_.SetNormalize(true);
  EXPECT_FALSE(ripper_.State().normalize_percent_enabled);
}

TEST(WmaQualityText, LosslessAndLevels) {
  EXPECT_EQ(QualityPanel::WmaQualityText(100), QStringLiteral("WMA Lossless"));
  EXPECT_EQ(QualityPanel::WmaQualityText(90), QStringLiteral("WMA VBR Quality 90"));
}

}  // namespace
}  // namespace corvane
