#include "components/grabber/DiscToc.h"

#include <cdio/cdio.h>
#include <cdio/disc.h>
#include <cdio/read.h>
#include <cdio/sector.h>
#include <cdio/track.h>

#include <algorithm>

#include "components/grabber/CdTextBlock.h"
#include "components/grabber/CddbDiscId.h"
#include "components/grabber/MediaType.h"
#include "engine/CdTrackPlace.h"

namespace corvane {
namespace {

constexpr int kSubheaderSubmode = 2;
constexpr unsigned char kSubmodeForm2 = 0x20;

// A mode 2 track's form, from the XA subheader of its first sector; plain mode 2 when that
// sector cannot be read.
CdTrackType Mode2Form(CdIo_t* cdio, lsn_t lsn) {
  unsigned char sector[M2RAW_SECTOR_SIZE] = {};
  if (cdio_read_mode2_sector(cdio, sector, lsn, true) != DRIVER_OP_SUCCESS) return CdTrackType::Mode2;
  return (sector[kSubheaderSubmode] & kSubmodeForm2) != 0 ? CdTrackType::Mode2Form2 : CdTrackType::Mode2Form1;
}

CdTrackType TrackType(CdIo_t* cdio, track_t track, lsn_t lsn) {
  switch (cdio_get_track_format(cdio, track)) {
    case TRACK_FORMAT_AUDIO:
      return CdTrackType::Audio;
    case TRACK_FORMAT_DATA:
      return CdTrackType::Mode1;
    case TRACK_FORMAT_XA:
      return Mode2Form(cdio, lsn);
    case TRACK_FORMAT_CDI:
    case TRACK_FORMAT_PSX:
      return CdTrackType::Mode2;
    default:
      return CdTrackType::Unknown;
  }
}

bool NoDiscMode(discmode_t mode) { return mode == CDIO_DISC_MODE_NO_INFO || mode == CDIO_DISC_MODE_ERROR; }

}  // namespace

int DiscToc::TrackCount() const {
  int count = 0;
  for (const auto& session : sessions) count += static_cast<int>(session.size());
  return count;
}

std::vector<std::vector<DiscToc::Track>> SplitSessions(const std::vector<DiscToc::Track>& tracks, int lastSessionLsn) {
  std::vector<std::vector<DiscToc::Track>> sessions(1);
  for (const DiscToc::Track& track : tracks) {
    if (lastSessionLsn > 0 && track.lsn >= lastSessionLsn && sessions.size() == 1 && !sessions.front().empty())
      sessions.emplace_back();
    sessions.back().push_back(track);
  }
  if (sessions.front().empty()) sessions.clear();
  return sessions;
}

DiscToc ReadDiscToc(CdIo_t* cdio, bool isImage) {
  DiscToc toc;
  const track_t first = cdio_get_first_track_num(cdio);
  const track_t last = cdio_get_last_track_num(cdio);
  if (first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK || last < first) {
    // A drive that reads no table either holds nothing or something it cannot read.
    toc.state = !isImage && NoDiscMode(cdio_get_discmode(cdio)) ? DiscState::None : DiscState::Unrecognised;
    return toc;
  }
  const lba_t leadout = cdio_get_track_lba(cdio, CDIO_CDROM_LEADOUT_TRACK);
  if (leadout == CDIO_INVALID_LBA) {
    toc.state = DiscState::Unrecognised;
    return toc;
  }
  toc.leadoutLsn = cdio_lba_to_lsn(leadout);
  std::vector<DiscToc::Track> tracks;
  std::vector<int> frames;
  for (int number = first; number <= last; ++number) {
    const auto track = static_cast<track_t>(number);
    const lsn_t lsn = cdio_get_track_lsn(cdio, track);
    if (lsn == CDIO_INVALID_LSN) {
      toc.state = DiscState::Unrecognised;
      return toc;
    }
    tracks.push_back({number, lsn, 0, TrackType(cdio, track, lsn)});
    frames.push_back(cdio_lsn_to_lba(lsn));
  }
  lsn_t lastSession = 0;
  if (cdio_get_last_session(cdio, &lastSession) != DRIVER_OP_SUCCESS) lastSession = 0;
  // A track runs up to the next one (its pre-gap included, as the drive plays it), to its
  // session's lead-out or to the disc's.
  for (size_t i = 0; i < tracks.size(); ++i) {
    const int next = i + 1 < tracks.size() ? tracks[i + 1].lsn : toc.leadoutLsn;
    tracks[i].sectors = std::max(0, CdTrackEnd(tracks[i].lsn, next, lastSession) - tracks[i].lsn);
  }
  toc.sessions = SplitSessions(tracks, lastSession);
  toc.discId = CddbDiscId(frames, leadout);
  toc.mediaType = isImage ? kMediaCdRom : ReadMediaType(cdio);
  toc.cdText = ReadCdText(cdio, first, last);
  toc.state = DiscState::Present;
  return toc;
}

}  // namespace corvane
