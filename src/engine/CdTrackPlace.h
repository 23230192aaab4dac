#pragma once
#include <cdio/cdio.h>

#include "engine/EngineError.h"

namespace corvane {

// Where an audio track lies on an open disc: its first sector and its length in sectors.
struct CdTrackPlace {
  int lsn = 0;
  int sectors = 0;
};

// The place of the track in `row` (from 0, in table order) of the open disc, or the reason there
// is none: NoCd for a disc without a readable table, CdTrack for a row beyond it, NotAudio for a
// data track. A track runs up to the next one (its pre-gap included, as the drive plays it) or to
// the lead-out.
EngineResult<CdTrackPlace> FindCdTrack(CdIo_t* cdio, int row);

}  // namespace corvane
