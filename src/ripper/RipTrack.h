#pragma once
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

#include "common/Result.h"
#include "common/UserInterface.h"
#include "components/grabber/TrackReader.h"
#include "encoding/LoudnessNormalization.h"
#include "encoding/ReplayGain.h"
#include "engine/CdStream.h"
#include "formats/EncodeSettings.h"
#include "ripper/RipResult.h"
#include "tags/SourceTags.h"

namespace corvane {

class AudioStream;
class IConversionComponent;
class IUserInterface;
class SettingsStore;
class TemporaryOutput;

// How a track's sectors are read: the engine's CD stream with `read`, or the grabber's track
// reader with `careful` (careful reading, and sectors left out with the discard action).
enum class RipReader { CdStream, TrackReader };

// What reading a track met, as its reader counted it.
struct RipReadStats {
  int worst_attempts = 0;  // the most attempts one read took; 0: none counted
  int given_up = 0;        // sectors that never read, silenced or left out
};

// The stop button of a run as the reading of a track serves it. The front end (a click, a signal)
// sets `pressed`; the reading in hand takes it back and asks the user through its seam. `answer`
// keeps the last answer given, so that a Stop All answered while a grab was ending still ends the
// run after that track.
struct RipStopRequest {
  std::atomic<bool> pressed{false};
  std::atomic<StopAnswer> answer{StopAnswer::Continue};
};

// One track to rip: where it is read from, where it goes, and how it is encoded.
struct RipTrackJob {
  QString device;  // a drive's path or a disc image
  int row = 0;     // the disc's track row, from 0 (see CdStream::Create)
  // The track's length in the table the run began with (see FindCdTrack); 0: as the disc gives it.
  int sectors = 0;
  bool image = false;  // the disc is an image: a track it holds none of fails with that reason
  RipReader reader = RipReader::CdStream;
  CdReadOptions read;  // its tap is not used: `tap` is, whichever reader reads
  ReadSettings careful;
  // Sees the track's audio as read from the disc (both readers, and the spool's reading), before
  // any conversion; null: none.
  PcmTap* tap = nullptr;
  // Filled in once the track has been read from the disc; null: not wanted.
  RipReadStats* stats = nullptr;
  // The track's audio read already (44100 Hz 16-bit stereo, see SpoolTrack); when set it is
  // encoded instead of reading the disc, and RipTrack reads it from its start.
  AudioStream* audio = nullptr;
  // The complete output's name. Its folder must exist. The output is written to a temporary
  // file beside it and takes this name only once it is complete.
  QString output;
  // Whether the output may replace a file already at `output`; without it such a file is kept
  // and the track fails.
  bool replace = false;
  // The run's conversion component, set up for `settings` (MP3, WAV, OGG, VOX).
  IConversionComponent* converter = nullptr;
  EncodeSettings settings;
  QString program_folder;                  // where the command-line encoders are looked for first
  SettingsStore* user_settings = nullptr;  // FLAC and Monkey's Audio levels
  RipStopRequest* stop_request = nullptr;
  // The grabber's own grab fails the track (RetryLimit) when a sector needed every retry of
  // `careful`, rather than keeping what it read.
  bool fail_at_retry_limit = false;
  // Tags written into the output; null: none.
  const SourceTags* tags = nullptr;
  bool id3v2 = false;  // MP3: an ID3v2 tag as well as the ID3v1 one
  // Measured the audio (through `tap` or `encode_tap`); its ReplayGain track tags go in before
  // the output is named. Null: none.
  const ReplayGainTrack* replaygain = nullptr;
  // Sees the audio as it is handed to the encoder, after normalising and mixing; null: none.
  PcmTap* encode_tap = nullptr;
  // Brings the track to this loudness before it is encoded: the track is read a second time, the
  // first for its loudness. None: the audio as read.
  std::optional<LoudnessTarget> normalize;
  int processor_share = 0;
};

// Opens the track's audio as `job` says it is read; NoDisc when the drive or image cannot be
// opened, Failed with the reason for anything else.
Result<RipResult> OpenRipSource(const RipTrackJob& job, std::unique_ptr<AudioStream>& stream);

// Copies what the reader of `stream` counted into `job.stats`, when both are there.
void NoteReadStats(const RipTrackJob& job, const AudioStream& stream);

// Writes tags that the encoding did not write (ID3 for MP3, the tag component's for WAV and Ogg
// Vorbis) into the complete audio at `path`, then gives it the name `job.output`.
Result<RipResult> CommitRipOutput(const RipTrackJob& job, TemporaryOutput& temporary, const QString& path,
                                  IUserInterface& ui);

// Rips one track: the disc's CD stream (or the track reader, or audio read before), resampled to the output's rate and
// channels where the format needs it, encoded into a temporary file that becomes `job.output` only when the track is
// complete. On failure or stop nothing is left behind and a file already at `job.output` is untouched. A Failed or
// NoOutput result carries the reason. Progress goes to `ui` as EncodeTrack reports it.
Result<RipResult> RipTrack(const RipTrackJob& job, IUserInterface& ui);

}  // namespace corvane
