#pragma once
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <vector>

namespace corvane::test {

struct ToolResult {
  int exit_code = -1;
  QByteArray out;
  QByteArray err;
};

// Runs an independent tool (ffmpeg, ffprobe, sox, flac ...) and waits for it.
ToolResult RunTool(const QString& program, const QStringList& arguments, const QByteArray& input = {});

// Decodes a file with ffmpeg to interleaved signed 16-bit samples (its own rate and channels).
QByteArray DecodeWithFfmpeg(const QString& path);

// ffprobe's view of the first audio stream and the container: codec_name, sample_rate,
// channels, duration, and the container's tags under "tags".
QJsonObject ProbeWithFfprobe(const QString& path);

// Interleaved 16-bit test signal: a sine sweep from 200 Hz up, at the given level.
std::vector<qint16> MakeSweep(int sampleRate, int channels, int frames, double level = 0.5);

}  // namespace corvane::test
