#pragma once
#include "components/freedb/MusicBrainzLookup.h"
#include "components/grabber/DiscToc.h"

namespace corvane {

// The part of a disc's table MusicBrainz files the disc under: every track up to the last audio
// track (a leading data track keeps its place), the lead-out where that audio ends: at the
// lead-out, or 11400 frames (the gap between sessions) before a data track that follows the last
// audio track, whatever sessions the table shows (an Enhanced CD's image has only one). A disc
// without audio tracks gives an empty table (lastTrack 0).
MusicBrainzToc MusicBrainzTocOf(const DiscToc& disc);

}  // namespace corvane
