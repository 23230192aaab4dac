#pragma once
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "common/BackgroundPcmTap.h"
#include "components/loudness/LoudnessMeter.h"
#include "formats/OutputFormatCatalogue.h"
#include "tags/ReplayGainTags.h"

namespace corvane {

// Which ReplayGain tags a run writes. The numbers are those stored in the settings.
enum class ReplayGainMode : int { Off = 0, Track = 1, Album = 2 };

// The loudness every gain aims at, in LUFS.
inline constexpr double kReplayGainReference = -18.0;

// How outputs of `format` hold ReplayGain tags (None for WAV and VOX).
GainTagStyle GainTagStyleOf(FormatCode format);
// The format whose extension `path` has (any letter case); None when no output format has it.
FormatCode FormatOfExtension(const QString& path);
// Reference minus the measured loudness, in dB.
double GainFor(const Loudness& loudness);
// The track pair of a measured file.
ReplayGainValues TrackValues(const Loudness& loudness);

// The files of a run grouped into albums, kept with their measurement until the run has ended,
// when each album's gain is worked out from all its files' audio and written into them. Files
// may be added from several threads at once.
class ReplayGainAlbums {
 public:
  struct File {
    QString path;
    FormatCode format = FormatCode::None;
    Loudness track;
  };
  struct Album {
    QString name;  // as the run named it (the output folder, the disc's title)
    std::vector<File> files;
    Loudness loudness;
  };

  // Keeps `meter`, the measurement of the finished file `path`, for album `album`.
  void Add(const QString& album, const QString& path, FormatCode format, std::unique_ptr<LoudnessMeter> meter);
  // Writes REPLAYGAIN_ALBUM_GAIN/PEAK (beside the track pair) into every file of every album and
  // forgets them. The albums as measured; `failed` gains the files that could not be tagged.
  std::vector<Album> WriteAlbumTags(QStringList& failed);

 private:
  struct Kept {
    File file;
    std::unique_ptr<LoudnessMeter> meter;
  };
  std::mutex mutex_;
  std::map<QString, std::vector<Kept>> albums_;
};

// Measures one output while it is encoded and tags it once it is complete. One per file or track.
class ReplayGainTrack {
 public:
  // A meter only when `mode` is not Off. Outputs of a format without the tags are measured all
  // the same (for the reports) and left as they are.
  ReplayGainTrack(ReplayGainMode mode, FormatCode format, int rate, int channels);

  // The tap to hand the encoding (null: nothing to measure). The meter behind it runs on a thread
  // of its own, beside the encoder.
  PcmTap* Tap() { return background_.get(); }
  bool Active() const { return meter_ != nullptr; }
  // The measurement so far.
  Loudness Result() const;
  // Writes the track pair into the complete, not yet named output `path`. False when tagging
  // failed; true when there was nothing to write (off, silence).
  bool TagTrack(const QString& path) const;
  // Hands the meter to `albums` for album `album`, with the output's final name (album mode only).
  void KeepForAlbum(ReplayGainAlbums* albums, const QString& album, const QString& finalPath);

 private:
  ReplayGainMode mode_;
  FormatCode format_;
  std::unique_ptr<LoudnessMeter> meter_;
  std::unique_ptr<BackgroundPcmTap> background_;  // feeds meter_; drained before it is read
  Loudness handed_over_;                          // the measurement once the meter went to an album
};

}  // namespace corvane
