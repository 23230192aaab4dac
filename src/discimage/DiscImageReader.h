#pragma once
#include <QString>

#include "discimage/DiscImageLayout.h"

namespace corvane {

// The most a cue sheet or cdrdao table may hold; real ones are a few kilobytes.
constexpr qint64 kImageMaxSheetBytes = 1 << 20;

// Reads the disc image at `path`, a path given as a device: a cue sheet (.cue) or cdrdao table
// (.toc), by extension in any letter case, or any file that ends in a Nero footer. A path that is
// not a regular file is refused from its file status alone, never opened (a FIFO would block the
// reader for ever); so is anything else, and a sheet larger than kImageMaxSheetBytes.
ImageLayoutResult ReadDiscImageLayout(const QString& path, const ImageFileProbe& probe);

}  // namespace corvane
