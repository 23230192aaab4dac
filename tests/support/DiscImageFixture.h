#pragma once
// Disc images for the grabber's tests, written into a folder: a .bin with a .cue, the same disc
// as a cdrdao .toc, and sparse layout-only discs for table-of-contents arithmetic. Every audio
// track holds its own deterministic PCM (a tone on the left channel, a counter on the right) so
// that a read from the wrong track or a shifted position shows as different bytes. A fixture
// that cannot be written throws, so a test never runs on a half-built image.
#include <QByteArray>
#include <QString>
#include <vector>

namespace corvane::test {

struct TrackPlan {
  int sectors = 0;
  bool data = false;  // a data track (raw 2352-byte sectors) instead of audio: MODE1 unless
  QString title;      // CD-TEXT; empty: none
  QString performer;
  int mode2Form = 0;  // for a data track, 1 or 2: MODE2 (XA) sectors of that form
};

struct DiscPlan {
  std::vector<TrackPlan> tracks;
  QString title;  // the disc's CD-TEXT; empty: none
  QString performer;
};

struct DiscImage {
  QString cue;  // empty for a Nero image
  QString toc;  // empty for a layout-only disc or a Nero image
  QString nrg;  // a Nero image only
  QString bin;
  std::vector<int> lsns;  // each track's first sector
  int leadout_lsn = 0;
  std::vector<QByteArray> tracks;  // each track's bytes as stored (PCM, or raw data sectors); none for a layout
};

class DiscImageFixture {
 public:
  static constexpr int kSectorBytes = 2352;

  explicit DiscImageFixture(QString folder);

  // `name`.bin, `name`.cue and `name`.toc for the disc; tracks follow each other without gaps.
  // The table reads `name`.be.bin, the same disc with its audio big-endian, as cdrdao keeps it.
  DiscImage Build(const QString& name, const DiscPlan& plan) const;
  // `name`.bin (sparse, silent) and `name`.cue for audio tracks starting at `lsns` and a lead-out
  // at `leadout_lsn`: the first track may start late, as on discs with a hidden first pre-gap.
  DiscImage BuildLayout(const QString& name, const std::vector<int>& lsns, int leadoutLsn) const;

  // `name`.nrg: a Nero image (32-bit footer, one track-at-once entry) of one audio track.
  // libcdio's Nero driver counts a 150-sector gap before every further track that the file does
  // not hold, so one track is what reads back exactly.
  DiscImage BuildNrg(const QString& name, int sectors) const;

  // `name`.nrg: a Nero image as Nero writes a disc-at-once copy (version 2: NER5 footer; CUEX,
  // DAOX, CDTX, SINF, MTYP and END! chunks). The file holds the disc's 150-sector lead pregap
  // before track 1, as such copies do; the CD-TEXT packs repeat a performer with a TAB.
  DiscImage BuildNrgDao(const QString& name, const DiscPlan& plan) const;

  // `name`.cue over one data file holding the whole disc's audio, as rippers write album images:
  // `name`.wav (an odd-sized chunk, with its pad byte, before the data chunk) or `name`.flac made
  // by the flac tool (named WAVE in the sheet, as real sheets do). The last track ends `tail`
  // stereo frames into one more sector. Audio tracks only.
  enum class AlbumFile { Wave, Flac };
  DiscImage BuildAlbum(const QString& name, const DiscPlan& plan, AlbumFile form, int tail = 0) const;

  // The PCM of audio track `track` (1-based) of `sectors` sectors.
  static QByteArray TrackPcm(int track, int sectors);
  // Raw sectors for a data track starting at `lsn`: sync, header (mode 1, or mode 2 with an XA
  // subheader of `mode2Form`), a pattern, no ECC.
  static QByteArray DataSectors(int lsn, int sectors, int mode2Form = 0);

 private:
  QString Path(const QString& name) const;

  QString folder_;
};

}  // namespace corvane::test
