#include <discid/discid.h>

#include <array>

#include "components/freedb/MusicBrainzLookup.h"

namespace corvane {
namespace {

constexpr int kMaxTrack = 99;

}  // namespace

QString MusicBrainzDiscId(const MusicBrainzToc& toc) {
  const int count = toc.lastTrack - toc.firstTrack + 1;
  if (toc.firstTrack < 1 || toc.lastTrack > kMaxTrack || count < 1 ||
      static_cast<size_t>(count) != toc.trackFrames.size())
    return {};
  // libdiscid reads the offsets by track number, with the lead-out in slot 0.
  std::array<int, kMaxTrack + 1> offsets{};
  offsets[0] = toc.leadoutFrame;
  for (int i = 0; i < count; ++i)
    offsets[static_cast<size_t>(toc.firstTrack + i)] = toc.trackFrames[static_cast<size_t>(i)];

  DiscId* disc = discid_new();
  if (!disc) return {};
  QString id;
  if (discid_put(disc, toc.firstTrack, toc.lastTrack, offsets.data())) id = QString::fromLatin1(discid_get_id(disc));
  discid_free(disc);
  return id;
}

}  // namespace corvane
