#include "engine/CdTrackPlace.h"

#include <algorithm>

namespace corvane {

int CdTrackEnd(int start, int next, int lastSessionLsn) {
  const bool opensLaterSession = lastSessionLsn > start && next >= lastSessionLsn;
  if (opensLaterSession && next - kSessionGapSectors > start) return next - kSessionGapSectors;
  return next;
}

EngineResult<CdTrackPlace> FindCdTrack(CdIo_t* cdio, int row) {
  using Found = EngineResult<CdTrackPlace>;
  const track_t first = cdio_get_first_track_num(cdio);
  const track_t last = cdio_get_last_track_num(cdio);
  if (first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK || last < first)
    return Found::Failure(EngineError::NoCd);
  if (row < 0 || row > last - first) return Found::Failure(EngineError::CdTrack);
  const auto track = static_cast<track_t>(first + row);
  if (cdio_get_track_format(cdio, track) != TRACK_FORMAT_AUDIO) return Found::Failure(EngineError::NotAudio);
  const lsn_t start = cdio_get_track_lsn(cdio, track);
  const lsn_t end = track < last ? cdio_get_track_lsn(cdio, static_cast<track_t>(track + 1))
                                 : cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
  if (start == CDIO_INVALID_LSN || end == CDIO_INVALID_LSN) return Found::Failure(EngineError::NoCd);
  lsn_t lastSession = 0;
  if (cdio_get_last_session(cdio, &lastSession) != DRIVER_OP_SUCCESS) lastSession = 0;
  return Found::Success({start, std::max(0, CdTrackEnd(start, end, lastSession) - start)});
}

}  // namespace corvane
