#pragma once
#include <QElapsedTimer>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

#include "common/EventLoopWaiting.h"
#include "common/strings/ConverterText.h"
#include "encoding/LoudnessNormalization.h"
#include "output/OutputClaims.h"
#include "output/OutputSettling.h"
#include "ripper/AccurateRipCheck.h"
#include "ripper/DiscMetadata.h"
#include "ripper/DiscVerification.h"
#include "ripper/RipOutputNaming.h"
#include "ripper/RipSessionTrack.h"
#include "ripper/RipperSettingsValues.h"

namespace corvane {

class IAudioCDGrabber;
class IConversionComponent;
class IUserInterface;
class Mp3EncoderConfig;
class SettingsStore;

// What a front end tells of the run it starts, the settings already read and checked.
struct RipSessionOptions {
  QString device;         // the drive's path or the disc image, as the grabber opened it
  QString output_folder;  // absolute, existing
  RipPatternParts pattern;
  EncodeSettings settings;
  RipperSettingsValues values;  // grab mode and the proof settings
  CdReadOptions read;           // the engine stream's retries, error skipping and offset
  ReadSettings careful;         // the grabber's grab mode, error action, retries and offset
  // 0: each track read and then encoded. N: N encoders, the reader beside them reading ahead into
  // spool files, never more than one track beyond those the encoders hold.
  int jobs = 0;
  bool tags = true;
  // Each track brought to this loudness (read twice, never by the grabber's own grab); none: as read.
  std::optional<LoudnessTarget> normalize;
  bool verify = true;  // ask the AccurateRip database at the end
  bool log = true;     // write the rip log beside the tracks
  QString program_folder;
  // How an output that is there already, or that an earlier track took, is answered.
  ExistingOutputRules existing = [] {
    ExistingOutputRules rules;
    rules.question = text::kAlreadyExists;
    return rules;
  }();
  // Where the front ends' rules differ. A disc the engine cannot open is read by the grabber's own
  // grab, for that track and the rest; a grab that needed every retry fails its track; a folder
  // that cannot be made ends the run.
  bool grab_without_disc = false;
  bool fail_at_retry_limit = false;
  bool end_at_folder_failure = false;
  // The stop button: the track in hand asks about it; a Stop All ends the run after that track.
  RipStopRequest* stop_request = nullptr;
  // Non-zero once the whole run is to end: later tracks are cancelled, nothing is verified or logged.
  const std::atomic<int>* interrupted = nullptr;
  // What the session's thread waits on (encodings, the grabber's own grab). Whoever sets
  // `stop_request` or `interrupted` wakes it. Without one the session waits on a waiting of its
  // own, which serves the event loop of the thread that made the session: Rip runs there.
  EventLoopWaiting* waiting = nullptr;

  // Takes how the tracks are read from the ripper's settings `values` and the drive's offset.
  void TakeReading(const RipperSettingsValues& values, int read_offset);
};

// What a front end sees of a session.
class IRipObserver {
 public:
  virtual ~IRipObserver() = default;
  // The seam for the work named `name` in `slot`: 0 the disc's reading (and the questions before
  // it), 1.. the encoders of an overlapped run, -1 the set-up.
  virtual std::unique_ptr<IUserInterface> Interface(int slot, const QString& name) = 0;
  // A message about the whole run (components that cannot start, a log that cannot be written).
  virtual void Message(const QString& text) = 0;
  // A track's output is settled and its reading begins: the `ordinal`th of `total` tracks.
  virtual void TrackStarting(const RipSessionTrack& /*track*/, int /*ordinal*/, int /*total*/) {}
  // A track ended; called in track order, `ended` counting the tracks ended so far.
  virtual void TrackEnded(const RipSessionTrack& track, int ended, int total) = 0;
  // The database's verdicts are in the tracks (`check` empty when it was not asked).
  virtual void Verified(const std::vector<RipSessionTrack>& tracks,
                        const std::optional<AccurateRipCheckResult>& check) = 0;
};

// The headless rip of the chosen tracks of one disc: each output's name settled (an output there
// already, a name an earlier track took), the reading path chosen (the engine's CD stream, the
// grabber's track reader, or the grabber's own grab), the tracks encoded and tagged, the
// AccurateRip check and the rip log. Everything the user sees goes through the observer.
class RipSession {
 public:
  RipSession(IAudioCDGrabber& grabber, SettingsStore& stored, Mp3EncoderConfig& mp3, RipSessionOptions options,
             DiscMetadata metadata, const std::vector<int>& rows, IRipObserver& observer);
  ~RipSession();

  // The grabber's settings and the encoders; false when they cannot be set up (the observer or
  // the set-up's seam told why).
  bool SetUp();
  // Rips every track, in track order or overlapped.
  void Rip();
  // Asks the database about the tracks ripped whole, unless verifying is off or the run ended early.
  void Verify();
  // Writes the rip log beside the first track ripped; its path, empty when none was written.
  QString WriteLog();

  const std::vector<RipSessionTrack>& Tracks() const { return tracks_; }
  const std::optional<DiscVerification>& Verification() const { return verification_; }
  const std::optional<AccurateRipCheckResult>& Check() const { return check_; }
  // The ripped tracks' loudness taken together, in album mode once Rip has ended.
  const std::optional<Loudness>& AlbumLoudness() const { return album_loudness_; }
  // Whether an earlier track holds `path` although nothing may be there yet.
  bool NameClaimed(const QString& path) const { return claims_.IsClaimed(path); }

 private:
  struct Encoding;

  bool Interrupted() const;
  // Interrupted, or ended by the user or by a folder that could not be made.
  bool Ending() const { return ended_ || Interrupted(); }
  // The grabber's settings and its encoder object, for its own grab.
  bool SetUpGrab(IUserInterface& setup);
  Result<RipResult> ReadAndEncode(RipTrackJob& rip, IUserInterface& ui);
  SourceTags TagsOf(const RipSessionTrack& track) const;
  bool SettleOutput(QString& output, bool& replace);
  // Names the track's output and settles an existing one; false when the track is not ripped
  // (skipped, or its folder refused), its status then set.
  bool PrepareOutput(RipSessionTrack& track, RipTrackJob& rip, SourceTags& tags);
  void TakeResult(RipSessionTrack& track, const Result<RipResult>& result);
  // Album mode: the album's gain goes into every track ripped; a file that cannot take it is told.
  void WriteAlbumGain();
  // Rips the `ordinal`th track, and ends the run after it when the user or the rules say so.
  void RipOne(RipSessionTrack& track, int ordinal);
  void RipInOrder();
  // The main flow reads each track into a spool, workers encode the spools.
  void RipOverlapped();
  // Encodes a spooled track on `worker`; the index of its track.
  size_t EncodeOnWorker(Encoding& encoding, int worker, const std::stop_token& stop);
  EventLoopWaiting& Waiting() { return options_.waiting != nullptr ? *options_.waiting : own_waiting_; }

  IAudioCDGrabber& grabber_;
  SettingsStore& stored_;
  Mp3EncoderConfig& mp3_;
  RipSessionOptions options_;
  DiscMetadata metadata_;
  IRipObserver& observer_;
  std::vector<RipSessionTrack> tracks_;
  std::optional<DiscVerification> verification_;
  std::optional<AccurateRipCheckResult> check_;
  std::vector<std::unique_ptr<IConversionComponent>> worker_converters_;
  bool component_grab_ = false;
  bool ended_ = false;
  RipReader reader_ = RipReader::CdStream;
  OutputClaims claims_;
  QElapsedTimer run_clock_;
  EventLoopWaiting own_waiting_;
  int reported_count_ = 0;
  int processor_share_ = 0;
  std::optional<Loudness> album_loudness_;
};

}  // namespace corvane
