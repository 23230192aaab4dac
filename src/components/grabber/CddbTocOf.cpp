#include "components/grabber/CddbTocOf.h"

namespace corvane {
namespace {

constexpr int kLeadInFrames = 150;
constexpr int kFramesPerSecond = 75;

}  // namespace

CddbToc CddbTocOf(const DiscToc& toc) {
  CddbToc cddb;
  for (const auto& session : toc.sessions)
    for (const DiscToc::Track& track : session) cddb.trackFrames.push_back(track.lsn + kLeadInFrames);
  cddb.leadoutSeconds = (toc.leadoutLsn + kLeadInFrames) / kFramesPerSecond;
  cddb.discId = toc.discId;
  return cddb;
}

}  // namespace corvane
