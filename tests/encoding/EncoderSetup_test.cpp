// The MP3 encoder settings from the settings store, and the encoder set-up of a run, checked on
// the files the set-up component then writes.
#include "encoding/EncoderSetup.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "components/ConverterTestTools.h"
#include "encoding/Mp3EncoderConfig.h"
#include "formats/EncoderCapabilities.h"
#include "presets/COutputQualityMgmt.h"
#include "support/ScriptedUserInterface.h"

namespace corvane {
namespace {

using keys::section::kEncoder;

TEST(PrepareMp3Encoder, FreshProfileGetsEveryDefaultWrittenBack) {
  MemorySettings settings;
  test::ScriptedUserInterface ui;
  Mp3EncoderConfig config(settings);
  ASSERT_TRUE(config.PrepareMp3Encoder(ui));
  const Mp3EncoderSettings& mp3 = *config.Settings();
  EXPECT_EQ(mp3.EncoderQuality(), 2);
  EXPECT_EQ(mp3.StereoMode(), 1);
  EXPECT_EQ(mp3.VbrMethod(), -1);  // VBR off
  EXPECT_EQ(mp3.VbrBitrate(), 192);
  EXPECT_EQ(mp3.VbrQuality(), 4);
  EXPECT_EQ(mp3.VbrHeader(), 1);
  EXPECT_EQ(mp3.MinBitrateEnforced(), 0);
  EXPECT_EQ(mp3.MaxAbrVbrBitrate(), 128);
  const std::pair<const char*, int> stored[] = {
      {keys::kMp3EncoderQuality, 2}, {keys::kMp3TypeStereo, 1},         {keys::kMp3VbrEnabled, 0},
      {keys::kMp3VbrCoding, 0},      {keys::kMp3VbrBitrate, 192},       {keys::kMp3VbrQuality, 4},
      {keys::kMp3VbrHeader, 1},      {keys::kMp3MinBitrateEnforced, 0}, {keys::kMaxAbrVbrBitrate, 128}};
  for (const auto& [key, value] : stored) EXPECT_EQ(settings.ReadNumber(kEncoder, key, -7), value) << key;
  EXPECT_FALSE(config.Mp3VbrEnabled());
}

TEST(PrepareMp3Encoder, StoredValuesAreUsedAndVbrSwitchesTheMethod) {
  MemorySettings settings;
  test::ScriptedUserInterface ui;
  settings.WriteNumber(kEncoder, keys::kMp3VbrEnabled, 1);
  settings.WriteNumber(kEncoder, keys::kMp3VbrCoding, 4);
  settings.WriteNumber(kEncoder, keys::kMp3EncoderQuality, 7);
  settings.WriteNumber(kEncoder, keys::kMp3VbrHeader, 0);
  Mp3EncoderConfig config(settings);
  config.PrepareMp3Encoder(ui);
  EXPECT_TRUE(config.Mp3VbrEnabled());
  EXPECT_EQ(config.Settings()->VbrMethod(), 4);
  EXPECT_EQ(config.Settings()->EncoderQuality(), 7);
  EXPECT_EQ(config.Settings()->VbrHeader(), 0);

  config.SetMp3VbrEnabled(false);
  EXPECT_EQ(config.Settings()->VbrMethod(), -1);
  EXPECT_EQ(settings.ReadNumber(kEncoder, keys::kMp3VbrEnabled, -7), 0);
  config.SetMp3VbrEnabled(true);
  EXPECT_EQ(config.Settings()->VbrMethod(), 4);
}

TEST(PrepareMp3Encoder, AnObjectThatCannotBeMadeSays181AndThePresetsStillLoad) {
  QTemporaryDir folder;
  MemorySettings settings(folder.path());
  test::ScriptedUserInterface ui;
  COutputQualityMgmt presets(settings, [] { return std::unique_ptr<Mp3EncoderSettings>(); });
  presets.Load(QString(), ui);
  EXPECT_EQ(ui.MessageTexts(), QStringList{"Failed to initialize MP3 codec components!"});
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(presets.Count(), 5);
  EXPECT_EQ(presets.Mp3Encoder().Settings(), nullptr);

  // A run cannot set up MP3 without it, but other formats still work.
  auto converter = CreateAudioConverter();
  EncoderCapabilities capabilities;
  EXPECT_FALSE(SetupEncoder(*converter,
                            EncodeSettings{FormatCode::Mp3, 44100, 128, 2, 16, 0, 3, 4, false, WavCodec::Pcm},
                            presets.Mp3Encoder(), capabilities, ui));
  EXPECT_TRUE(SetupEncoder(*converter, EncodeSettings{FormatCode::Wav, 44100, 0, 2, 16, 0, 3, 4, false, WavCodec::Pcm},
                           presets.Mp3Encoder(), capabilities, ui));
}

class EncoderSetupRun : public testing::Test {
 protected:
  EncoderSetupRun() { config_.PrepareMp3Encoder(ui_); }

  bool Setup(const EncodeSettings& settings) {
    return SetupEncoder(*converter_, settings, config_, capabilities_, ui_);
  }
  // Encodes a second of the sweep at the settings' rate and channels and asks ffprobe about it.
  std::map<QString, QString> EncodeAndProbe(const EncodeSettings& settings, ComponentFormat format) {
    const QString path = dir_.filePath(QStringLiteral("out"));
    test::EncodeFile(*converter_, path, format, test::SineSweep(settings.sample_rate, settings.channels, 1.0),
                     settings.sample_rate, settings.channels);
    return test::Probe(path);
  }

  MemorySettings store_;
  test::ScriptedUserInterface ui_;
  QTemporaryDir dir_;
  Mp3EncoderConfig config_{store_};
  EncoderCapabilities capabilities_;
  std::unique_ptr<IConversionComponent> converter_ = CreateAudioConverter();
};

TEST_F(EncoderSetupRun, RefusedCombinationsStopTheRunWith183) {
  EXPECT_FALSE(Setup(EncodeSettings{FormatCode::Mp3, 8000, 128, 1, 16, 0, 3, 4, false, WavCodec::Pcm}));
  EXPECT_FALSE(Setup(EncodeSettings{FormatCode::Ogg, 44100, 8, 2, 16, 0, 3, 4, false, WavCodec::Pcm}));
  EXPECT_EQ(ui_.MessageTexts(),
            (QStringList{"Selected device doesn't support 8000 Hz, 128 kbps Mono as MP3 format!",
                         "Selected device doesn't support 44100 Hz, 8 kbps Stereo as OGG format!"}));
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Error);
}

TEST_F(EncoderSetupRun, Mp3VbrLowersTheAbrBitrateToTheHighestTheRateAllows) {
  store_.WriteNumber(kEncoder, keys::kMp3VbrCoding, 4);  // ABR, mean 192 by default
  store_.WriteNumber(kEncoder, keys::kMaxAbrVbrBitrate, 320);
  config_.PrepareMp3Encoder(ui_);
  const EncodeSettings settings{FormatCode::Mp3, 22050, 64, 2, 16, 0, 3, 2, true, WavCodec::Pcm};
  ASSERT_TRUE(Setup(settings));
  const Mp3EncoderSettings& mp3 = *config_.Settings();
  EXPECT_EQ(mp3.VbrBitrate(), 160);  // MPEG-2 tops out at 160 kbps
  EXPECT_EQ(mp3.VbrMethod(), 4);
  EXPECT_EQ(mp3.SampleRate(), 22050);
  EXPECT_EQ(mp3.Bitrate(), 64);
  EXPECT_EQ(mp3.Channels(), 2);
  EXPECT_EQ(mp3.VbrQuality(), 2);
  EXPECT_EQ(store_.ReadNumber(kEncoder, keys::kMp3VbrEnabled, -7), 1);
  const auto probe = EncodeAndProbe(settings, ComponentFormat::Mp3);
  EXPECT_EQ(probe.at(QStringLiteral("codec_name")), QStringLiteral("mp3"));
  EXPECT_EQ(probe.at(QStringLiteral("sample_rate")), QStringLiteral("22050"));
}

TEST_F(EncoderSetupRun, Mp3ConstantBitrateAndMono) {
  const EncodeSettings settings{FormatCode::Mp3, 32000, 96, 1, 16, 0, 3, 4, false, WavCodec::Pcm};
  ASSERT_TRUE(Setup(settings));
  EXPECT_EQ(config_.Settings()->VbrMethod(), -1);
  const auto probe = EncodeAndProbe(settings, ComponentFormat::Mp3);
  EXPECT_EQ(probe.at(QStringLiteral("channels")), QStringLiteral("1"));
  EXPECT_EQ(probe.at(QStringLiteral("bit_rate")), QStringLiteral("96000"));
}

TEST_F(EncoderSetupRun, OggWavAndVoxAreConfiguredForTheRun) {
  ASSERT_TRUE(Setup(EncodeSettings{FormatCode::Ogg, 44100, 96, 2, 16, 0, 3, 4, false, WavCodec::Pcm}));
  EXPECT_EQ(EncodeAndProbe(EncodeSettings{FormatCode::Ogg, 44100, 96, 2}, ComponentFormat::Ogg)
                .at(QStringLiteral("codec_name")),
            QStringLiteral("vorbis"));
  const std::pair<WavCodec, const char*> codecs[] = {{WavCodec::Pcm, "pcm_u8"},
                                                     {WavCodec::Adpcm, "adpcm_ms"},
                                                     {WavCodec::ALaw, "pcm_alaw"},
                                                     {WavCodec::ULaw, "pcm_mulaw"}};
  for (const auto& [codec, name] : codecs) {
    const EncodeSettings wav{FormatCode::Wav, 16000, 0, 2, 8, 0, 3, 4, false, codec};
    ASSERT_TRUE(Setup(wav));
    EXPECT_EQ(EncodeAndProbe(wav, ComponentFormat::Wav).at(QStringLiteral("codec_name")), QString::fromLatin1(name));
  }
  EXPECT_TRUE(Setup(EncodeSettings{FormatCode::Vox, 8000, 0, 2, 16, 0, 3, 4, false, WavCodec::Pcm}));
  EXPECT_FALSE(Setup(EncodeSettings{FormatCode::Wav, 16000, 0, 2, 16, 0, 3, 4, false,
                                    static_cast<WavCodec>(9)}));  // no such WAV codec
  for (FormatCode format : {FormatCode::Wma, FormatCode::Flac, FormatCode::Ape, FormatCode::Musepack})
    EXPECT_TRUE(Setup(EncodeSettings{format, 44100, 128, 2, 16, 0, 3, 4, false, WavCodec::Pcm}));
  EXPECT_EQ(ui_.messages.size(), 1u);
}

}  // namespace
}  // namespace corvane
