#include <discid/discid.h>

#include <array>

#include "components/freedb/MusicBrainzLookup.h"

namespace corvane {
namespace {

constexpr int kMaxTrack = 99;

}  // namespace

QString MusicBrainzDiscId(const MusicBrainzToc& toc) {
  const int count = toc.last_track - toc.first_track + 1;
  if (toc.first_track < 1 || toc.last_track > kMaxTrack || count < 1 ||
      static_cast<size_t>(count) != toc.track_frames.size())
    return {};
  // libdiscid reads the offsets by track number, with the lead-out in slot 0.
  std::array<int, kMaxTrack + 1> offsets{};
  offsets[0] = toc.leadout_frame;
  for (int i = 0; i < count; ++i)
    offsets[static_cast<size_t>(toc.first_track + i)] = toc.track_frames[static_cast<size_t>(i)];

  DiscId* disc = discid_new();
  if (!disc) return {};
  QString id;
  if (discid_put(disc, toc.first_track, toc.last_track, offsets.data())) id = QString::fromLatin1(discid_get_id(disc));
  discid_free(disc);
  return id;
}

}  // namespace corvane
