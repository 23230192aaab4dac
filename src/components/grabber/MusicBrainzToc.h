#pragma once
#include "components/freedb/MusicBrainzLookup.h"
#include "components/grabber/DiscToc.h"

namespace corvane {

// The part of a disc's table MusicBrainz files the disc under: every track up to the last audio
// track (a leading data track keeps its place), the lead-out where that audio ends. When the
// first dropped data track opens a later session, the audio ends 11400 frames (the gap between
// sessions) before it. A disc without audio tracks gives an empty table (lastTrack 0).
MusicBrainzToc MusicBrainzTocOf(const DiscToc& disc);

}  // namespace corvane
