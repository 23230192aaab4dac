#pragma once
#include <QStringList>
#include <vector>

#include "components/IAudioCDGrabber.h"
#include "discimage/DiscAccess.h"

namespace corvane {

// What RefreshDisc read from a disc: its tracks grouped into sessions, the lead-out, the media
// type, the CDDB disc ID and the CD-TEXT lines.
struct DiscToc {
  struct Track {
    int number = 0;  // in the table of contents
    int lsn = 0;     // first sector, from the start of the program area
    int sectors = 0;
    CdTrackType type = CdTrackType::Unknown;
    // Stereo frames of audio: the sectors' worth, or fewer for an image's last track whose data
    // file ends inside a sector.
    qint64 frames = 0;
  };
  DiscState state = DiscState::None;
  int media_type = 0;
  int leadout_lsn = 0;
  quint32 disc_id = 0;
  std::vector<std::vector<Track>> sessions;
  QStringList cd_text;

  int TrackCount() const;
};

// Groups tracks (in table order) into sessions: one session, or when the drive names where its
// last session starts, the tracks before that sector and the tracks from it on.
std::vector<std::vector<DiscToc::Track>> SplitSessions(const std::vector<DiscToc::Track>& tracks, int lastSessionLsn);

// The table of contents of an open disc. A drive without a disc gives state None; a table that
// cannot be made sense of gives Unrecognised.
DiscToc ReadDiscToc(IDiscAccess& disc);

}  // namespace corvane
