#pragma once
#include <cdio/cdio.h>

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "common/Result.h"

namespace corvane {

inline constexpr int kSectorFrames = 588;  // stereo frames of 16-bit samples in an audio sector

enum class DiscTrackFormat { Audio, Mode1, Mode2, Mode2Form1, Mode2Form2, Unknown };

// A disc's table of contents as the rest of the program reads it, from a drive or an image.
struct DiscTable {
  enum class State { Present, NoDisc, Unrecognised };
  struct Track {
    int number = 0;
    int lsn = 0;  // first sector (INDEX 01), from the start of the program area
    DiscTrackFormat format = DiscTrackFormat::Unknown;
  };
  State state = State::Unrecognised;
  std::vector<Track> tracks;  // in table order, sessions one after another
  int leadout_lsn = 0;
  // Where the audio ends, in stereo frames from sector 0: inside the last sector for an image
  // whose data file ends there (an album file), else -1 for the lead-out itself.
  qint64 end_frame = -1;
  int last_session_lsn = 0;  // first sector of the last session; 0 for a single session
  // CD-TEXT (and an image's REM fields) as "KEYn=value" lines, n = 0 for the disc, else the
  // track number: TITLE, PERFORMER, SONGWRITER, COMPOSER, ARRANGER, MESSAGE, GENRE, then an
  // image's DATE, DISCID and COMMENT for the disc.
  QStringList cd_text;

  // The track that starts at or before `lsn` and runs past it; null for none.
  const Track* TrackAt(int lsn) const;
  // The sector after the last one of table entry `index` (the next track, or the lead-out).
  int EndOf(size_t index) const;
  // The stereo frame where the disc's audio ends (see end_frame).
  qint64 EndFrame() const;
};

// One open disc: a drive through libcdio or a disc image through our own reader. Each user opens
// its own; an object is used from one thread at a time.
class IDiscAccess {
 public:
  virtual ~IDiscAccess() = default;
  virtual bool IsImage() const = 0;
  virtual const DiscTable& Table() const = 0;
  // Reads `count` whole audio sectors from `lsn` on into `out`; false when any of them does not
  // read: a drive's read error, a sector outside the disc or in a data track, or one an image
  // places beyond what its data file holds. `out` then holds nothing to rely on.
  virtual bool ReadAudio(int lsn, int count, char* out) = 0;
  // The drive's libcdio handle, for what only a drive does (careful reading, the media profile);
  // null where there is none.
  virtual CdIo_t* Cdio() = 0;
};

enum class DiscOpenCode { Opened = 0, Unopenable = 1 };
using DiscOpenResult = ValueResult<std::unique_ptr<IDiscAccess>, DiscOpenCode>;

// Opens `path`: a regular file as a disc image, anything else as a drive. A failure says why in
// the user's words: for an image, that it could not be opened as one and the reader's reason.
DiscOpenResult OpenDisc(const QString& path);
// The failure of opening the image at `path` for `reason`.
DiscOpenResult RefusedImage(const QString& path, const QString& reason);

}  // namespace corvane
