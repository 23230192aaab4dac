#include "engine/CdTrackPlace.h"

#include <algorithm>

namespace corvane {

int CdTrackEnd(int start, int next, int lastSessionLsn) {
  const bool opensLaterSession = lastSessionLsn > start && next >= lastSessionLsn;
  if (opensLaterSession && next - kSessionGapSectors > start) return next - kSessionGapSectors;
  return next;
}

EngineResult<CdTrackPlace> FindCdTrack(const DiscTable& table, int row, int sectors) {
  using Found = EngineResult<CdTrackPlace>;
  if (table.state != DiscTable::State::Present || table.tracks.empty()) return Found::Failure(EngineError::NoCd);
  if (row < 0 || row >= static_cast<int>(table.tracks.size())) return Found::Failure(EngineError::CdTrack);
  const auto index = static_cast<size_t>(row);
  const DiscTable::Track& track = table.tracks[index];
  if (track.format != DiscTrackFormat::Audio) return Found::Failure(EngineError::NotAudio);
  const int end = table.EndOf(index);
  // A table whose track lies outside the disc has no place to read it from.
  if (track.lsn < 0 || end > table.leadout_lsn || end < track.lsn) return Found::Failure(EngineError::NoCd);
  const int now = std::max(0, CdTrackEnd(track.lsn, end, table.last_session_lsn) - track.lsn);
  if (sectors > now) return Found::Success({track.lsn, sectors, static_cast<qint64>(sectors) * kSectorFrames});
  qint64 frames = static_cast<qint64>(now) * kSectorFrames;
  if (track.lsn + now == table.leadout_lsn)
    frames = std::clamp<qint64>(table.EndFrame() - static_cast<qint64>(track.lsn) * kSectorFrames, 0, frames);
  return Found::Success({track.lsn, now, frames});
}

}  // namespace corvane
