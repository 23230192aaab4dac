#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

#include "discimage/DiscImageLayout.h"

namespace corvane {

// Reads a Nero image (footer NERO or NER5; chunks CUES/CUEX, DAOI/DAOX, ETNF/ETN2, SINF, CDTX,
// MTYP, END!) of `size` bytes at `path`, whose bytes `read(offset, length)` gives (fewer bytes
// than asked means the file could not be read). The tracks' sectors are in the image itself, which
// becomes the layout's one data file (Binary: little-endian samples, as Nero stores them); a
// track lies on the disc where the cue chunk's LBA (or its track-at-once entry) puts it: sectors
// the file holds before LBA 0 (the disc's lead pregap) are left out, and a gap the file does not
// hold (between sessions) is silence in the pregap of the track after it. Every length and offset is checked against
// the file; a lying one refuses the image.
ImageLayoutResult ReadNrgImage(const QString& path, qint64 size, const std::function<QByteArray(qint64, qint64)>& read);

}  // namespace corvane
