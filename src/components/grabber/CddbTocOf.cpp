#include "components/grabber/CddbTocOf.h"

namespace corvane {
namespace {

constexpr int kLeadInFrames = 150;
constexpr int kFramesPerSecond = 75;

}  // namespace

CddbToc CddbTocOf(const DiscToc& toc) {
  CddbToc cddb;
  for (const auto& session : toc.sessions)
    for (const DiscToc::Track& track : session) cddb.track_frames.push_back(track.lsn + kLeadInFrames);
  cddb.leadout_seconds = (toc.leadout_lsn + kLeadInFrames) / kFramesPerSecond;
  cddb.disc_id = toc.disc_id;
  return cddb;
}

}  // namespace corvane
