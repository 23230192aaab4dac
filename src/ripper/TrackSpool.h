#pragma once
#include <memory>

#include "ripper/RipTrack.h"

namespace corvane {

class AudioStream;
class IUserInterface;
class TemporaryOutput;

// A track's audio read from the disc ahead of its encoding, so that the drive can go on to the
// next track while this one is encoded. The audio waits in an unnamed temporary file in the
// output's folder, which goes with the spool (or the process) and is never seen by the user.
class TrackSpool {
 public:
  // Reads the whole track as `job` says (its reader, device and row) with progress to `ui`,
  // stopping at `job.stop_request` (StoppedAll). NoDisc and Failed as RipTrack has them.
  static Result<RipResult> Read(const RipTrackJob& job, IUserInterface& ui, std::unique_ptr<TrackSpool>& spool);
  ~TrackSpool();
  TrackSpool(const TrackSpool&) = delete;
  TrackSpool& operator=(const TrackSpool&) = delete;

  // The audio read, 44100 Hz 16-bit stereo, for one reader at a time (RipTrackJob::audio).
  AudioStream& Audio() { return *audio_; }

 private:
  TrackSpool() = default;

  std::unique_ptr<TemporaryOutput> file_;
  std::unique_ptr<AudioStream> audio_;
};

}  // namespace corvane
