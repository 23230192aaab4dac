#pragma once
#include <QString>
#include <memory>

#include "components/loudness/LoudnessMeter.h"

namespace corvane {

class AudioStream;

// Feeds `stream` from where it stands to its end into `meter`; false when a read failed.
bool MeasureStream(AudioStream& stream, LoudnessMeter& meter);

// Decodes the audio file at `path` (any type the engine reads) and measures all of it, as the
// engine delivers it (16-bit). Null, with `error` set, when it cannot be opened or decoded.
std::unique_ptr<LoudnessMeter> MeasureFileLoudness(const QString& path, QString& error);

}  // namespace corvane
