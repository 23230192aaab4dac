#pragma once
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <vector>

#include "support/SourceFixtures.h"
#include "support/ToolRunner.h"

namespace corvane::test {

// ffprobe's view of the first audio stream and the container: codec_name, sample_rate,
// channels, duration, and the container's tags under "tags".
QJsonObject ProbeWithFfprobe(const QString& path);

// Interleaved 16-bit test signal: a sine sweep from 200 Hz up, at the given level.
std::vector<qint16> MakeSweep(int sampleRate, int channels, int frames, double level = 0.5);

}  // namespace corvane::test
