#pragma once
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "common/EventLoopWaiting.h"
#include "formats/EncodeSettings.h"
#include "ripper/AccurateRipCheck.h"
#include "ripper/RipOutputNaming.h"
#include "ripper/RipSession.h"
#include "ripper/RipperSettingsValues.h"

namespace corvane {

class IAudioCDGrabber;
class IRipperView;
class IUserInterface;
class Mp3EncoderConfig;
class SettingsStore;

// The page's values a run starts from.
struct RipRunStart {
  QString device;  // the drive or disc image of the device box
  QString output_folder_field;
  QString output_name;  // the pattern
  EncodeSettings settings;
  QString artist, album, year;
  int genre_entry = 0;  // the genre box's entry, 0 the empty one
  bool keep_tags = true;
  QString program_folder;
};

// What a run depends on besides the page, so that tests can supply it.
struct RipRunServices {
  // The WMA quality and bitrate checks; false: no run (the user was told).
  std::function<bool()> check_before_run;
  std::function<void()> stop_playback;
  std::function<void()> open_rip_settings;
};

// The window's rip: the checked rows of the track list ripped by one RipSession on the
// user-interface thread, one track at a time, which it shows on the page (row statuses, the label
// under the list, the progress bar) and in the window's dialogs.
class RipRun final : private IRipObserver {
 public:
  RipRun(IRipperView& view, IUserInterface& ui, SettingsStore& settings, IAudioCDGrabber* grabber,
         Mp3EncoderConfig& mp3, RipRunServices services = {});
  ~RipRun() override;

  void Run(const RipRunStart& start);
  // The stop button while running: the track in hand asks whether to stop it or the whole run.
  void RequestStop();
  bool Running() const { return running_; }

 private:
  // IRipObserver
  std::unique_ptr<IUserInterface> Interface(int slot, const QString& name) override;
  void Message(const QString& text) override;
  void TrackStarting(const RipSessionTrack& track, int ordinal, int total) override;
  void TrackEnded(const RipSessionTrack& track, int ended, int total) override;
  void Verified(const std::vector<RipSessionTrack>& tracks,
                const std::optional<AccurateRipCheckResult>& check) override;

  bool CheckRows();
  bool ChooseOutputFolder(QString& folder);
  RipSessionOptions OptionsFor(const QString& folder);
  void SetRunning(bool running);
  // Tells the user why a track failed, as the window words each failure.
  void TellFailure(const RipSessionTrack& track);
  void End(const RipSession& session);

  IRipperView& view_;
  IUserInterface& ui_;
  SettingsStore& settings_;
  IAudioCDGrabber* grabber_;
  Mp3EncoderConfig& mp3_;
  RipRunServices services_;
  RipRunStart start_;
  RipperSettingsValues values_;  // read once at the start of the run
  RipPatternParts pattern_;
  RipStopRequest stop_;
  // What the session waits on while the page stays live; the stop button wakes it.
  EventLoopWaiting waiting_;
  std::atomic<bool> overwrite_all_{false};
  bool running_ = false;
  QString output_folder_;    // the run's, or the last track's when the pattern has a folder part
  int cancelled_from_ = -1;  // the first row of those a Stop All or a missing folder cancelled
};

}  // namespace corvane
