#pragma once
#include <QByteArray>
#include <functional>
#include <optional>

#include "discimage/DiscImageLayout.h"

namespace corvane {

// Reads `length` bytes of a file from `offset` on; fewer (or none) where the file ends.
using FileBytes = std::function<QByteArray(qint64 offset, qint64 length)>;

// What the chunks of a RIFF (or big-endian RIFX) WAVE file of `size` bytes say of its audio;
// nothing when the file is not a WAVE file at all. CD audio (PCM or extensible PCM, 44100 Hz,
// 16-bit, stereo) gives a Wave file (Motorola for RIFX) with the data chunk's place, clamped to
// the file and to whole sample frames; other audio gives NotCdAudio, a WAVE file without a
// format or data chunk Unreadable. Odd-sized chunks carry their pad byte.
std::optional<ImageFileFacts> ReadWaveHeader(qint64 size, const FileBytes& read);

}  // namespace corvane
