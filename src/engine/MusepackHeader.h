#pragma once
#include <QString>
#include <optional>

namespace corvane {

// The sample count (per channel) that the stream header of a Musepack SV8 file states; FFmpeg
// only counts whole frames of 1152 samples from it. Empty when `path` holds no SV8 stream header
// that says so (SV7 and older files, damaged files).
std::optional<qint64> MusepackSampleCount(const QString& path);

}  // namespace corvane
