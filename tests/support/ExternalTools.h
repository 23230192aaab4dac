#pragma once
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <vector>

#include "support/SourceFixtures.h"

namespace corvane::test {

struct ToolResult {
  int exit_code = -1;
  QByteArray out;
  QByteArray err;
};

// Runs an independent tool (ffmpeg, ffprobe, sox, flac ...) with `input` on its standard input
// and waits for it; keeps its exit code and both outputs.
ToolResult RunToolWithInput(const QString& program, const QStringList& arguments, const QByteArray& input = {});

// ffprobe's view of the first audio stream and the container: codec_name, sample_rate,
// channels, duration, and the container's tags under "tags".
QJsonObject ProbeWithFfprobe(const QString& path);

// Interleaved 16-bit test signal: a sine sweep from 200 Hz up, at the given level.
std::vector<qint16> MakeSweep(int sampleRate, int channels, int frames, double level = 0.5);

}  // namespace corvane::test
