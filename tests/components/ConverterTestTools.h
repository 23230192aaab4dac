#pragma once
// Helpers of the conversion component tests: generated input audio and independent judges of
// what the component wrote (ffprobe, ffmpeg, sox).
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "components/IConversionComponent.h"
#include "support/ToolRunner.h"

namespace corvane::test {

// Interleaved 16-bit samples: a sine sweep from 200 Hz to 4 kHz, the right channel a quarter
// period behind the left, at about half of full scale.
inline std::vector<std::int16_t> SineSweep(int sampleRate, int channels, double seconds) {
  const auto frames = static_cast<std::size_t>(sampleRate * seconds);
  std::vector<std::int16_t> samples(frames * static_cast<std::size_t>(channels));
  double phase = 0.0;
  for (std::size_t frame = 0; frame < frames; ++frame) {
    const double progress = static_cast<double>(frame) / static_cast<double>(frames);
    phase += 2.0 * M_PI * (200.0 + 3800.0 * progress) / sampleRate;
    for (int channel = 0; channel < channels; ++channel) {
      samples[frame * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel)] =
          static_cast<std::int16_t>(16000.0 * std::sin(phase - channel * M_PI / 2.0));
    }
  }
  return samples;
}

// Feeds the samples in blocks of one second, as the encoder back-end does, and completes the file.
inline void EncodeFile(IConversionComponent& converter, const QString& path, ComponentFormat format,
                       const std::vector<std::int16_t>& samples, int sampleRate, int channels) {
  ASSERT_TRUE(converter.SetInputFormat(sampleRate, channels).Succeeded());
  ASSERT_TRUE(converter.OpenOutput(path, format).Succeeded());
  const std::size_t block = static_cast<std::size_t>(sampleRate * channels);
  for (std::size_t start = 0; start < samples.size(); start += block) {
    const std::size_t count = std::min(block, samples.size() - start);
    ASSERT_TRUE(converter.WriteSamples(std::span<const std::int16_t>(samples.data() + start, count)).Succeeded());
  }
  ASSERT_TRUE(converter.Reset().Succeeded());
}

// ffprobe's view of a file: "codec_name", "sample_rate", "channels", "duration" ...
inline std::map<QString, QString> Probe(const QString& path) {
  const QString out = QString::fromUtf8(ToolOutput(
      QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                  QStringLiteral("stream=codec_name,sample_rate,channels,bit_rate:format=duration"),
                                  QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1"), path}));
  std::map<QString, QString> fields;
  for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals > 0) fields.emplace(line.left(equals), line.mid(equals + 1).trimmed());
  }
  return fields;
}

// Decodes a file with ffmpeg into interleaved 16-bit samples at its own rate and channel count.
inline std::vector<std::int16_t> DecodeWithFfmpeg(const QString& path) {
  const QByteArray bytes =
      ToolOutput(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
                                            QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-")});
  std::vector<std::int16_t> samples(static_cast<std::size_t>(bytes.size()) / 2);
  if (!samples.empty()) std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
  return samples;
}

// Normalised correlation of two sample runs over their common length (1 = identical shape).
inline double Correlation(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b) {
  const std::size_t count = std::min(a.size(), b.size());
  double ab = 0, aa = 0, bb = 0;
  for (std::size_t i = 0; i < count; ++i) {
    ab += double(a[i]) * b[i];
    aa += double(a[i]) * a[i];
    bb += double(b[i]) * b[i];
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

}  // namespace corvane::test
