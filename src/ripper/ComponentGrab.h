#pragma once
#include <atomic>

#include "ripper/RipTrack.h"

namespace corvane {

class EventLoopWaiting;
class IAudioCDGrabber;

// Rips one track through the grabber's own grab: the grabber (its grab mode, error action and
// retries set, its encoder object set up for `job.settings`) writes the track into a temporary
// file beside `job.output` on its worker thread while this thread serves its progress events,
// waiting on `waiting`; a stop pressed (`job.stop_request`, whoever presses it wakes `waiting`) is
// asked about through `ui`, before the grab or while it runs, and ends it as answered. The complete file gets its tags
// and its name as RipTrack gives them; on failure or stop nothing is left behind.
Result<RipResult> GrabWithComponent(IAudioCDGrabber& grabber, const RipTrackJob& job, IUserInterface& ui,
                                    EventLoopWaiting& waiting);

}  // namespace corvane
