#include "discimage/CdioDiscAccess.h"

#include <cdio/cdio.h>
#include <cdio/disc.h>
#include <cdio/read.h>
#include <cdio/sector.h>
#include <cdio/track.h>

#include "discimage/CdTextBlock.h"

namespace corvane {
namespace {

constexpr int kSubheaderSubmode = 2;
constexpr unsigned char kSubmodeForm2 = 0x20;

// A mode 2 track's form, from the XA subheader of its first sector; plain mode 2 when that
// sector cannot be read.
DiscTrackFormat Mode2Form(CdIo_t* cdio, lsn_t lsn) {
  unsigned char sector[M2RAW_SECTOR_SIZE] = {};
  if (cdio_read_mode2_sector(cdio, sector, lsn, true) != DRIVER_OP_SUCCESS) return DiscTrackFormat::Mode2;
  return (sector[kSubheaderSubmode] & kSubmodeForm2) != 0 ? DiscTrackFormat::Mode2Form2 : DiscTrackFormat::Mode2Form1;
}

DiscTrackFormat FormatOf(CdIo_t* cdio, track_t track, lsn_t lsn) {
  switch (cdio_get_track_format(cdio, track)) {
    case TRACK_FORMAT_AUDIO:
      return DiscTrackFormat::Audio;
    case TRACK_FORMAT_DATA:
      return DiscTrackFormat::Mode1;
    case TRACK_FORMAT_XA:
      return Mode2Form(cdio, lsn);
    case TRACK_FORMAT_CDI:
    case TRACK_FORMAT_PSX:
      return DiscTrackFormat::Mode2;
    default:
      return DiscTrackFormat::Unknown;
  }
}

bool NoDiscMode(discmode_t mode) { return mode == CDIO_DISC_MODE_NO_INFO || mode == CDIO_DISC_MODE_ERROR; }

DiscTable ReadTable(CdIo_t* cdio) {
  DiscTable table;
  const track_t first = cdio_get_first_track_num(cdio);
  const track_t last = cdio_get_last_track_num(cdio);
  if (first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK || last < first) {
    // A drive that reads no table either holds nothing or something it cannot read.
    table.state = NoDiscMode(cdio_get_discmode(cdio)) ? DiscTable::State::NoDisc : DiscTable::State::Unrecognised;
    return table;
  }
  const lsn_t leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
  if (leadout == CDIO_INVALID_LSN) return table;
  table.leadout_lsn = leadout;
  for (int number = first; number <= last; ++number) {
    const auto track = static_cast<track_t>(number);
    const lsn_t lsn = cdio_get_track_lsn(cdio, track);
    // A track placed before the disc's start or past its end has no place to be read from.
    if (lsn == CDIO_INVALID_LSN || lsn < 0 || lsn > leadout) return {};
    table.tracks.push_back({number, lsn, FormatOf(cdio, track, lsn)});
  }
  lsn_t lastSession = 0;
  if (cdio_get_last_session(cdio, &lastSession) != DRIVER_OP_SUCCESS) lastSession = 0;
  table.last_session_lsn = lastSession;
  table.cd_text = ReadCdText(cdio, first, last);
  table.state = DiscTable::State::Present;
  return table;
}

}  // namespace

CdioDiscAccess::CdioDiscAccess(CdioHandle cdio) : cdio_(std::move(cdio)), table_(ReadTable(cdio_.get())) {}

bool CdioDiscAccess::ReadAudio(int lsn, int count, char* out) {
  if (count <= 0) return true;
  if (lsn < 0 || lsn + count > table_.leadout_lsn) return false;
  return cdio_read_audio_sectors(cdio_.get(), out, lsn, static_cast<unsigned>(count)) == DRIVER_OP_SUCCESS;
}

}  // namespace corvane
