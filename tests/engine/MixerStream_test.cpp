#include "engine/MixerStream.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>

#include "engine/DecodeStream.h"
#include "engine/LevelMeter.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

std::vector<qint16> ReadSamples(AudioStream& stream) {
  std::vector<qint16> all;
  qint16 buffer[3000];
  for (;;) {
    const int read = stream.Read(buffer, sizeof buffer);
    if (read <= 0) break;
    all.insert(all.end(), buffer, buffer + read / 2);
  }
  return all;
}

// Zero crossings per second of one channel: twice the frequency of a clean tone.
double ToneFrequency(const std::vector<qint16>& samples, int channels, int rate) {
  int crossings = 0;
  for (size_t i = channels; i < samples.size(); i += channels) {
    if ((samples[i - channels] < 0) != (samples[i] < 0)) ++crossings;
  }
  const double seconds = static_cast<double>(samples.size() / channels) / rate;
  return crossings / seconds / 2;
}

class MixerStreamTest : public ::testing::Test {
 protected:
  std::unique_ptr<DecodeStream> OpenTone(const QString& name, int rate, int channels) {
    const QString path = dir_.filePath(name);
    test::MakeTone(path, 1.0, rate, channels);
    return DecodeStream::Open(path).value.value_or(nullptr);
  }
  QTemporaryDir dir_;
};

TEST_F(MixerStreamTest, ResamplesAndMixesDownKeepingPitchAndLength) {
  auto source = OpenTone(QStringLiteral("stereo.wav"), 44100, 2);
  ASSERT_TRUE(source);
  EngineResult<std::unique_ptr<MixerStream>> created = MixerStream::Create(*source, 22050, 1);
  ASSERT_TRUE(created.Succeeded());
  std::unique_ptr<MixerStream> mixer = std::move(*created.value);
  EXPECT_EQ(mixer->Info().rate, 22050);
  EXPECT_EQ(mixer->Info().channels, 1);
  EXPECT_EQ(mixer->LengthBytes(), 22050 * 2);

  const std::vector<qint16> samples = ReadSamples(*mixer);
  EXPECT_NEAR(static_cast<double>(samples.size()), 22050, 64);
  EXPECT_NEAR(ToneFrequency(samples, 1, 22050), 440, 3);
  EXPECT_FALSE(mixer->IsActive());
  EXPECT_EQ(mixer->PositionBytes(), static_cast<qint64>(samples.size() * 2));
  // The source ended with it.
  EXPECT_FALSE(source->IsActive());
}

TEST_F(MixerStreamTest, MonoSourceFillsBothChannelsAlike) {
  auto source = OpenTone(QStringLiteral("mono.flac"), 32000, 1);
  ASSERT_TRUE(source);
  auto mixer = MixerStream::Create(*source, 48000, 2).value.value_or(nullptr);
  ASSERT_TRUE(mixer);
  const std::vector<qint16> samples = ReadSamples(*mixer);
  ASSERT_GT(samples.size(), 90000u);
  int differing = 0;
  for (size_t i = 0; i + 1 < samples.size(); i += 2) differing += samples[i] != samples[i + 1];
  EXPECT_EQ(differing, 0);
  EXPECT_NEAR(ToneFrequency(samples, 2, 48000), 440, 3);
}

TEST_F(MixerStreamTest, SeekMovesTheSourceAlong) {
  auto source = OpenTone(QStringLiteral("seek.wav"), 44100, 2);
  ASSERT_TRUE(source);
  auto mixer = MixerStream::Create(*source, 22050, 2).value.value_or(nullptr);
  ASSERT_TRUE(mixer);
  ASSERT_TRUE(mixer->Seek(11025 * 4));  // half a second in
  EXPECT_EQ(mixer->PositionBytes(), 11025 * 4);
  EXPECT_EQ(source->PositionBytes(), 22050 * 4);
  const std::vector<qint16> rest = ReadSamples(*mixer);
  EXPECT_NEAR(static_cast<double>(rest.size() / 2), 11025, 64);
}

TEST_F(MixerStreamTest, RefusesImpossibleFormats) {
  auto source = OpenTone(QStringLiteral("any.wav"), 8000, 1);
  ASSERT_TRUE(source);
  EXPECT_EQ(MixerStream::Create(*source, 0, 2).status.code, EngineError::IllegalParam);
  EXPECT_FALSE(MixerStream::Create(*source, 44100, 0).Succeeded());
  EXPECT_FALSE(MixerStream::Create(*source, 44100, 99).Succeeded());
}

TEST_F(MixerStreamTest, PeakOfAMixerMatchesItsSource) {
  auto source = OpenTone(QStringLiteral("peak.wav"), 44100, 2);
  ASSERT_TRUE(source);
  const int sourcePeak = LevelMeter::MeasurePeak(*source);
  ASSERT_TRUE(source->Seek(0));
  auto mixer = MixerStream::Create(*source, 48000, 2).value.value_or(nullptr);
  ASSERT_TRUE(mixer);
  EXPECT_NEAR(LevelMeter::MeasurePeak(*mixer), sourcePeak, sourcePeak / 50);
  EXPECT_GT(sourcePeak, 1000);
}

}  // namespace
}  // namespace corvane
