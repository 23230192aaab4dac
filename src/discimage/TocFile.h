#pragma once
#include <QByteArray>
#include <QString>

#include "discimage/DiscImageLayout.h"

namespace corvane {

// Reads a cdrdao table of contents into the disc it describes, with cdrdao's own arithmetic: a
// track is the concatenation of its SILENCE, ZERO, FILE/AUDIOFILE and DATAFILE parts, padded to
// a whole sector; START (or PREGAP, which adds silence) marks where INDEX 01 lies within that data
// and never adds to the track's length; INDEX counts from INDEX 01. Raw audio files hold
// big-endian samples, as cdrdao reads and writes them. CD-TEXT of the first language block is
// read for the disc and each track. File names are resolved against `folder`.
ImageLayoutResult ReadTocFile(const QByteArray& toc, const QString& folder, const ImageFileProbe& probe);

}  // namespace corvane
