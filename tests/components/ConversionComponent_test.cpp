// Files written through the conversion component, judged by ffprobe, ffmpeg and sox.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "components/ConverterTestTools.h"
#include "components/IConversionComponent.h"

namespace corvane {
namespace {

constexpr double kSeconds = 1.5;

class ConverterOutput : public testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Encodes the sweep at `rate` with `channels` input channels and returns ffprobe's fields.
  std::map<QString, QString> Write(const QString& name, ComponentFormat format, int rate, int channels) {
    test::EncodeFile(*converter_, Path(name), format, test::SineSweep(rate, channels, kSeconds), rate, channels);
    EXPECT_EQ(converter_->GetLastError(), 0);
    return test::Probe(Path(name));
  }

  static void ExpectStream(const std::map<QString, QString>& probe, const char* codec, int rate, int channels) {
    EXPECT_EQ(probe.count(QStringLiteral("codec_name")) ? probe.at(QStringLiteral("codec_name")) : QString(),
              QString::fromLatin1(codec));
    EXPECT_EQ(probe.at(QStringLiteral("sample_rate")).toInt(), rate);
    EXPECT_EQ(probe.at(QStringLiteral("channels")).toInt(), channels);
    // Within one block (one second) of the input, and in practice much closer.
    EXPECT_NEAR(probe.at(QStringLiteral("duration")).toDouble(), kSeconds, 0.1);
  }

  static Mp3EncoderSettings Mp3(int rate, int kbps, int channels, int vbrMethod) {
    Mp3EncoderSettings settings;
    settings.SetSampleRate(rate);
    settings.SetBitrate(kbps);
    settings.SetChannels(channels);
    settings.SetVbrMethod(vbrMethod);
    settings.SetVbrQuality(4);
    settings.SetVbrBitrate(160);
    settings.SetMaxAbrVbrBitrate(256);
    settings.SetEncoderQuality(5);
    settings.SetStereoMode(2);
    settings.SetVbrHeader(1);
    return settings;
  }

  QByteArray Head(const QString& name, int size = 4096) const {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
  }

  QTemporaryDir dir_;
  std::unique_ptr<IConversionComponent> converter_ = CreateAudioConverter();
};

TEST_F(ConverterOutput, Mp3ConstantBitrateWithInfoFrame) {
  converter_->SetOutputType(ComponentFormat::Mp3);
  converter_->SetMp3Encoder(Mp3(44100, 128, 2, -1));
  const auto probe = Write(QStringLiteral("cbr.mp3"), ComponentFormat::Mp3, 44100, 2);
  ExpectStream(probe, "mp3", 44100, 2);
  EXPECT_EQ(probe.at(QStringLiteral("bit_rate")).toInt(), 128000);
  EXPECT_TRUE(Head(QStringLiteral("cbr.mp3")).contains("Info"));  // the CBR form of the header frame
}

TEST_F(ConverterOutput, Mp3EveryVbrMethodAndAbrWriteAXingFrame) {
  for (int method = 0; method <= 4; ++method) {
    SCOPED_TRACE(method);
    converter_->SetMp3Encoder(Mp3(44100, 128, 2, method));
    const QString name = QStringLiteral("vbr%1.mp3").arg(method);
    ExpectStream(Write(name, ComponentFormat::Mp3, 44100, 2), "mp3", 44100, 2);
    EXPECT_TRUE(Head(name).contains("Xing"));
  }
}

TEST_F(ConverterOutput, Mp3MonoFromStereoInputAndResampledByLame) {
  converter_->SetMp3Encoder(Mp3(22050, 64, 1, -1));
  ExpectStream(Write(QStringLiteral("mono.mp3"), ComponentFormat::Mp3, 44100, 2), "mp3", 22050, 1);
}

TEST_F(ConverterOutput, OggVorbisManagedBitrate) {
  ASSERT_TRUE(converter_->SetOggFormat(44100, 2, 128, 128, 128, -1).Succeeded());
  const auto probe = Write(QStringLiteral("a.ogg"), ComponentFormat::Ogg, 44100, 2);
  ExpectStream(probe, "vorbis", 44100, 2);
  const auto decoded = test::DecodeWithFfmpeg(Path(QStringLiteral("a.ogg")));
  EXPECT_GT(test::Correlation(decoded, test::SineSweep(44100, 2, kSeconds)), 0.9);
}

TEST_F(ConverterOutput, WavPcm16IsBitExactEvenWhenFramesAreSplitBetweenCalls) {
  ASSERT_TRUE(converter_->SetWavPcm(22050, 2, 16).Succeeded());
  const auto input = test::SineSweep(22050, 2, kSeconds);
  ASSERT_TRUE(converter_->SetInputFormat(22050, 2).Succeeded());
  ASSERT_TRUE(converter_->OpenOutput(Path(QStringLiteral("pcm16.wav")), ComponentFormat::Wav).Succeeded());
  // Odd block sizes split stereo frames across calls.
  for (std::size_t start = 0; start < input.size(); start += 997)
    ASSERT_TRUE(converter_
                    ->WriteSamples(std::span<const std::int16_t>(input).subspan(
                        start, std::min<std::size_t>(997, input.size() - start)))
                    .Succeeded());
  ASSERT_TRUE(converter_->Reset().Succeeded());
  ExpectStream(test::Probe(Path(QStringLiteral("pcm16.wav"))), "pcm_s16le", 22050, 2);
  EXPECT_EQ(test::DecodeWithFfmpeg(Path(QStringLiteral("pcm16.wav"))), input);
}

TEST_F(ConverterOutput, WavCodecsOfEveryKind) {
  struct Case {
    const char* name;
    const char* codec;
    std::function<ConverterResult()> setup;
  };
  const std::vector<Case> cases = {
      {"pcm8.wav", "pcm_u8", [&] { return converter_->SetWavPcm(11025, 1, 8); }},
      {"adpcm.wav", "adpcm_ms", [&] { return converter_->SetWavAdpcm(11025, 1); }},
      {"alaw.wav", "pcm_alaw", [&] { return converter_->SetWavALaw(11025, 1); }},
      {"ulaw.wav", "pcm_mulaw", [&] { return converter_->SetWavULaw(11025, 1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.setup().Succeeded());
    const QString name = QString::fromLatin1(c.name);
    ExpectStream(Write(name, ComponentFormat::Wav, 11025, 1), c.codec, 11025, 1);
    EXPECT_GT(test::Correlation(test::DecodeWithFfmpeg(Path(name)), test::SineSweep(11025, 1, kSeconds)), 0.95);
  }
}

TEST_F(ConverterOutput, StereoAdpcmWav) {
  ASSERT_TRUE(converter_->SetWavAdpcm(44100, 2).Succeeded());
  ExpectStream(Write(QStringLiteral("adpcm2.wav"), ComponentFormat::Wav, 44100, 2), "adpcm_ms", 44100, 2);
}

TEST_F(ConverterOutput, VoxIsDialogicAdpcmMixedDownToMono) {
  ASSERT_TRUE(converter_->SetVox(8000).Succeeded());
  const auto stereo = test::SineSweep(8000, 2, kSeconds);
  test::EncodeFile(*converter_, Path(QStringLiteral("a.vox")), ComponentFormat::Vox, stereo, 8000, 2);
  // sox reads the file as raw Dialogic ADPCM and writes it out as 16-bit samples.
  test::RunTool(QStringLiteral("sox"),
                {QStringLiteral("-t"), QStringLiteral("vox"), QStringLiteral("-r"), QStringLiteral("8000"),
                 QStringLiteral("-c"), QStringLiteral("1"), Path(QStringLiteral("a.vox")), QStringLiteral("-t"),
                 QStringLiteral("wav"), QStringLiteral("-e"), QStringLiteral("signed"), QStringLiteral("-b"),
                 QStringLiteral("16"), Path(QStringLiteral("vox.wav"))});
  const auto probe = test::Probe(Path(QStringLiteral("vox.wav")));
  EXPECT_EQ(probe.at(QStringLiteral("channels")).toInt(), 1);
  EXPECT_NEAR(probe.at(QStringLiteral("duration")).toDouble(), kSeconds, 0.01);
  std::vector<std::int16_t> mixed(stereo.size() / 2);
  for (std::size_t i = 0; i < mixed.size(); ++i)
    mixed[i] = static_cast<std::int16_t>((stereo[2 * i] + stereo[2 * i + 1]) / 2);
  EXPECT_GT(test::Correlation(test::DecodeWithFfmpeg(Path(QStringLiteral("vox.wav"))), mixed), 0.9);
}

TEST_F(ConverterOutput, WmaAtConstantBitrateAndMonoDoubledToStereo) {
  EXPECT_EQ(converter_->SetWmaFormat(44100, 2, 7).code, ConverterErrorCode::UnsupportedFormat);
  ASSERT_TRUE(converter_->SetWmaFormat(44100, 2, 128).Succeeded());
  EXPECT_EQ(converter_->GetOutputType(), ComponentFormat::Wma);
  const auto probe = Write(QStringLiteral("a.wma"), ComponentFormat::Wma, 44100, 1);
  ExpectStream(probe, "wmav2", 44100, 2);
  const auto decoded = test::DecodeWithFfmpeg(Path(QStringLiteral("a.wma")));
  // The encoder's delay shifts the sweep; the channels carry the same, loud signal.
  std::vector<std::int16_t> left(decoded.size() / 2), right(decoded.size() / 2);
  double energy = 0;
  for (std::size_t i = 0; i < left.size(); ++i) {
    left[i] = decoded[2 * i];
    right[i] = decoded[2 * i + 1];
    energy += double(left[i]) * left[i];
  }
  EXPECT_GT(test::Correlation(left, right), 0.99);
  EXPECT_GT(std::sqrt(energy / double(std::max<std::size_t>(left.size(), 1))), 5000.0);
  ASSERT_TRUE(converter_->SetInputFormat(22050, 2).Succeeded());
  EXPECT_EQ(converter_->OpenOutput(Path(QStringLiteral("c.wma")), ComponentFormat::Wma).code,
            ConverterErrorCode::InvalidInput);
}

TEST_F(ConverterOutput, ConfigurationSurvivesResetForTheNextFile) {
  ASSERT_TRUE(converter_->SetWavULaw(8000, 1).Succeeded());
  for (const char* name : {"one.wav", "two.wav"})
    ExpectStream(Write(QString::fromLatin1(name), ComponentFormat::Wav, 8000, 1), "pcm_mulaw", 8000, 1);
}

TEST(ConverterErrors, FailingCallsReturnTheirCodeAndReason) {
  QTemporaryDir dir;
  auto converter = CreateAudioConverter();
  const QString path = dir.filePath(QStringLiteral("x.wav"));
  EXPECT_EQ(converter->OpenOutput(path, ComponentFormat::Wav).code, ConverterErrorCode::InvalidInput);
  ASSERT_TRUE(converter->SetInputFormat(44100, 2).Succeeded());
  const ConverterResult notConfigured = converter->OpenOutput(path, ComponentFormat::Wav);
  EXPECT_EQ(notConfigured.code, ConverterErrorCode::NotConfigured);
  EXPECT_EQ(notConfigured.text, QStringLiteral("no set-up for this output kind"));
  EXPECT_EQ(converter->GetLastError(), static_cast<int>(ConverterErrorCode::NotConfigured));
  EXPECT_EQ(converter->OpenOutput(path, ComponentFormat::Wma).code, ConverterErrorCode::NotConfigured);
  const std::int16_t samples[4] = {};
  EXPECT_EQ(converter->WriteSamples(samples).code, ConverterErrorCode::NotOpen);
  EXPECT_EQ(converter->SetWavPcm(44100, 2, 24).code, ConverterErrorCode::UnsupportedFormat);
  EXPECT_EQ(converter->SetOggFormat(44100, 2, 8, 8, 8, -1).code, ConverterErrorCode::UnsupportedFormat);
  EXPECT_EQ(converter->SetInputFormat(44100, 6).code, ConverterErrorCode::InvalidInput);

  ASSERT_TRUE(converter->SetWavPcm(22050, 2, 16).Succeeded());  // input is 44100 Hz: only MP3 resamples
  EXPECT_EQ(converter->OpenOutput(path, ComponentFormat::Wav).code, ConverterErrorCode::InvalidInput);
  EXPECT_FALSE(QFile::exists(path));

  ASSERT_TRUE(converter->SetInputFormat(22050, 2).Succeeded());
  const QString missing = dir.filePath(QStringLiteral("no/such/folder/x.wav"));
  EXPECT_EQ(converter->OpenOutput(missing, ComponentFormat::Wav).code, ConverterErrorCode::OutputOpen);
  ASSERT_TRUE(converter->OpenOutput(path, ComponentFormat::Wav).Succeeded());
  EXPECT_EQ(converter->GetLastError(), 0);
  ASSERT_TRUE(converter->Reset().Succeeded());

  Mp3EncoderSettings mp3;
  mp3.SetSampleRate(22000);  // LAME would pick another rate
  mp3.SetBitrate(128);
  converter->SetMp3Encoder(mp3);
  EXPECT_EQ(converter->OpenOutput(dir.filePath(QStringLiteral("x.mp3")), ComponentFormat::Mp3).code,
            ConverterErrorCode::UnsupportedFormat);
}

TEST(Mp3EncoderSettings, PropertiesStartUnsetAndMinusOneReadsBack) {
  Mp3EncoderSettings settings;
  EXPECT_EQ(settings.EncoderQuality(), -1);
  EXPECT_EQ(settings.VbrMethod(), -1);
  EXPECT_EQ(settings.MaxAbrVbrBitrate(), -1);
  settings.SetVbrQuality(3);
  EXPECT_EQ(settings.VbrQuality(), 3);
  settings.SetVbrQuality(-1);
  EXPECT_EQ(settings.VbrQuality(), -1);
}

}  // namespace
}  // namespace corvane
