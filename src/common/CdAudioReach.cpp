#include "common/CdAudioReach.h"

#include <cdio/track.h>

#include <algorithm>

namespace corvane {

SectorSpan AudioReach(CdIo_t* cdio, int firstLsn, int sectors) {
  const SectorSpan track{firstLsn, firstLsn + sectors};
  const track_t first = cdio_get_first_track_num(cdio);
  const track_t last = cdio_get_last_track_num(cdio);
  const lsn_t leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
  if (first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK || last < first || leadout == CDIO_INVALID_LSN)
    return track;
  SectorSpan reach{0, leadout};
  for (int number = first; number <= last; ++number) {
    const auto t = static_cast<track_t>(number);
    if (cdio_get_track_format(cdio, t) == TRACK_FORMAT_AUDIO) continue;
    const lsn_t start = cdio_get_track_lsn(cdio, t);
    const lsn_t end = number < last ? cdio_get_track_lsn(cdio, static_cast<track_t>(number + 1)) : leadout;
    if (start == CDIO_INVALID_LSN || end == CDIO_INVALID_LSN) return track;
    if (end <= firstLsn) reach.first = std::max(reach.first, end);
    if (start >= track.end) reach.end = std::min(reach.end, start);
  }
  // Never less than the track itself, whatever the table says.
  return {std::min(reach.first, track.first), std::max(reach.end, track.end)};
}

}  // namespace corvane
