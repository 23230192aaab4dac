#pragma once
#include <QFile>
#include <QString>

#include "discimage/DiscImageLayout.h"

namespace corvane {

// The probe the image readers are given: what the data file at `path` holds, found from its
// content. Anything but a regular file is refused before it is ever opened (a FIFO would block
// the open for ever). A RIFF/RIFX WAVE file is read from its chunks; a file the description calls
// BINARY or MOTOROLA (or names no type for) is raw samples; anything else goes to FFmpeg, and
// must hold 44100 Hz 16-bit stereo audio.
ImageFileFacts ProbeImageFile(const QString& path, const QString& declared);

// Opens `path` for reading into `file` only when it is a regular file, checked before opening and
// again on what was opened; otherwise why not (Missing, NotRegular, Unreadable).
ImageFileFacts::Problem OpenRegularFile(const QString& path, QFile& file);

}  // namespace corvane
