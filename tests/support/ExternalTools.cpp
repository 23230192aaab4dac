#include "support/ExternalTools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace corvane::test {

QJsonObject ProbeWithFfprobe(const QString& path) {
  const ToolResult probe =
      RunTool(QStringLiteral("ffprobe"),
              {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"), QStringLiteral("json"),
               QStringLiteral("-show_streams"), QStringLiteral("-show_format"), path});
  const QJsonObject root = QJsonDocument::fromJson(probe.out).object();
  QJsonObject result;
  for (const QJsonValue& stream : root.value(QStringLiteral("streams")).toArray()) {
    const QJsonObject s = stream.toObject();
    if (s.value(QStringLiteral("codec_type")).toString() != QStringLiteral("audio")) continue;
    result.insert(QStringLiteral("codec_name"), s.value(QStringLiteral("codec_name")));
    result.insert(QStringLiteral("sample_rate"), s.value(QStringLiteral("sample_rate")).toString().toInt());
    result.insert(QStringLiteral("channels"), s.value(QStringLiteral("channels")));
    result.insert(QStringLiteral("stream_tags"), s.value(QStringLiteral("tags")));
    break;
  }
  const QJsonObject format = root.value(QStringLiteral("format")).toObject();
  result.insert(QStringLiteral("duration"), format.value(QStringLiteral("duration")).toString().toDouble());
  result.insert(QStringLiteral("tags"), format.value(QStringLiteral("tags")));
  return result;
}

std::vector<qint16> MakeSweep(int sampleRate, int channels, int frames, double level) {
  std::vector<qint16> samples(static_cast<size_t>(frames) * channels);
  double phase = 0;
  for (int i = 0; i < frames; ++i) {
    const double frequency = 200.0 + 4000.0 * i / std::max(1, frames);
    phase += 2 * M_PI * frequency / sampleRate;
    for (int c = 0; c < channels; ++c) {
      const double value = std::sin(phase + c * 0.7) * level * 32767.0;
      samples[static_cast<size_t>(i) * channels + c] = static_cast<qint16>(std::lround(value));
    }
  }
  return samples;
}

}  // namespace corvane::test
