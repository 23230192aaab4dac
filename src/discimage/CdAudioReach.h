#pragma once
#include <QtGlobal>

#include "discimage/DiscAccess.h"

namespace corvane {

// Disc sectors [first, end) a drive returns as audio.
struct SectorSpan {
  int first = 0;
  int end = 0;
};

// The sectors around the audio track that starts at `firstLsn` (`sectors` long) that a reading
// shifted by the drive's offset may take audio from: from sector 0, or the end of a data track
// before it, up to the lead-out, or the start of a data track after it. The track alone when the
// disc has no table.
SectorSpan AudioReach(const DiscTable& table, int firstLsn, int sectors);

// Floor and ceiling of a division by a positive divisor, for byte places that may be negative.
constexpr qint64 FloorDiv(qint64 value, qint64 divisor) {
  return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}
constexpr qint64 CeilDiv(qint64 value, qint64 divisor) { return -FloorDiv(-value, divisor); }

}  // namespace corvane
