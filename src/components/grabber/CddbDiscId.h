#pragma once
#include <QtGlobal>
#include <span>

namespace corvane {

// The CDDB disc ID of a table of contents. `trackFrames` holds the start of every track in the
// table (data tracks too) and `leadoutFrame` the lead-out of the last session, all as absolute
// frame addresses including the 150-frame lead-in (libcdio's LBA, or LSN + 150).
quint32 CddbDiscId(std::span<const int> trackFrames, int leadoutFrame);

}  // namespace corvane
