#include "discimage/CdAudioReach.h"

#include <algorithm>

namespace corvane {

SectorSpan AudioReach(const DiscTable& table, int firstLsn, int sectors) {
  const SectorSpan track{firstLsn, firstLsn + sectors};
  if (table.state != DiscTable::State::Present || table.tracks.empty()) return track;
  SectorSpan reach{0, table.leadout_lsn};
  for (size_t i = 0; i < table.tracks.size(); ++i) {
    if (table.tracks[i].format == DiscTrackFormat::Audio) continue;
    const int start = table.tracks[i].lsn;
    const int end = table.EndOf(i);
    if (end <= firstLsn) reach.first = std::max(reach.first, end);
    if (start >= track.end) reach.end = std::min(reach.end, start);
  }
  // Never less than the track itself, whatever the table says.
  return {std::min(reach.first, track.first), std::max(reach.end, track.end)};
}

}  // namespace corvane
