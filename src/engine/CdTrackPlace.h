#pragma once
#include "discimage/DiscAccess.h"
#include "engine/EngineError.h"

namespace corvane {

// Where an audio track lies on an open disc: its first sector, its length in sectors, and in
// stereo frames (fewer than the sectors hold for an image's last track that ends inside a sector).
struct CdTrackPlace {
  int lsn = 0;
  int sectors = 0;
  qint64 frames = 0;
};

// Sectors between the end of one session's audio and the first track of the next: that
// session's lead-out (6750), the next one's lead-in (4500) and the track's pre-gap (150).
inline constexpr int kSessionGapSectors = 11400;

// Where a track that starts at `start` ends, given where the next track (or the lead-out) starts
// and where the disc's last session starts (0 for a single session). A track followed by the
// first track of a later session ends at its own session's lead-out: the gap cannot be read.
int CdTrackEnd(int start, int next, int lastSessionLsn);

// The place of the track in `row` (from 0, in table order) of a disc's table, or the reason there
// is none: NoCd for a disc without a readable table, CdTrack for a row beyond it, NotAudio for a
// data track. A track runs up to the next one (its pre-gap included, as the drive plays it) or to
// the lead-out, or to its session's lead-out on a disc of several sessions. `sectors`, when longer
// than the table makes the track now, is its length in the table a rip began with: an image cut
// short since keeps the track's length, and the sectors it no longer holds fail to read instead of
// vanishing from the track.
EngineResult<CdTrackPlace> FindCdTrack(const DiscTable& table, int row, int sectors = 0);

}  // namespace corvane
