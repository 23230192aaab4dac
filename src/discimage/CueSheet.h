#pragma once
#include <QByteArray>
#include <QString>

#include "discimage/DiscImageLayout.h"

namespace corvane {

// Reads a cue sheet (UTF-8 with or without a byte-order mark, else Windows-1252) into the disc it
// describes: one or several FILE lines in any layout (one file for the disc, one a track with
// gaps appended to the previous file or prepended to the next), audio and data tracks with their
// sector sizes, PREGAP/POSTGAP silence, INDEX 00..99, CD-TEXT and REM fields, ISRC, FLAGS and
// CATALOG. FILE names are resolved against `folder` (see ResolveDataFile). Anything a CD could not
// be, or a position past the end of its file, is refused naming the line.
ImageLayoutResult ReadCueSheet(const QByteArray& sheet, const QString& folder, const ImageFileProbe& probe);

}  // namespace corvane
