#pragma once
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QEventLoop;

#include "common/UserInterface.h"
#include "encoding/EncodeFunction.h"
#include "formats/EncodeSettings.h"
#include "output/OutputClaims.h"
#include "ripper/RipResult.h"
#include "ripper/RipVerifier.h"
#include "ripper/RipperSettingsValues.h"
#include "tags/SourceTags.h"

namespace corvane {

class IAudioCDGrabber;
class IConversionComponent;
class IRipperView;
class IUserInterface;
class OutputClaim;
class SettingsStore;

// The page's values a run starts from.
struct RipRunStart {
  QString device;  // the drive or disc image of the device box
  QString output_folder_field;
  QString output_name;  // the pattern
  EncodeSettings settings;
  QString artist, album, year, genre;  // genre: the name of the selected entry
  bool keep_tags = true;
  QString program_folder;
};

// What a run depends on besides the page, so that tests can supply it.
struct RipRunServices {
  EncodeFunction encode;  // EncodeTrack when empty
  // The WMA quality and bitrate checks; false: no run (the user was told).
  std::function<bool()> check_before_run;
  // The encoder set-up on the grabber's encoder object; false: no run (the user was told).
  std::function<bool(IConversionComponent&)> setup_encoder;
  std::function<void()> stop_playback;
  std::function<void()> open_rip_settings;
};

// One rip run over the checked rows of the track list, on the user-interface thread. Each track is
// read through the engine's CD stream and encoded, or written by the grabber itself in its careful
// grab modes. Outputs are written beside their final name and take it only when complete, so a
// failed or stopped track leaves nothing behind and never damages a file it was to replace.
class RipRun {
 public:
  RipRun(IRipperView& view, IUserInterface& ui, SettingsStore& settings, IAudioCDGrabber* grabber,
         RipRunServices services = {});
  ~RipRun();

  void Run(const RipRunStart& start);
  // The stop button while running.
  void RequestStop();
  bool Running() const { return running_; }

  // Grabber events 2 (percent) and 3 (read attempts), served on the user-interface thread.
  void OnGrabProgress(double percent);
  void OnReadRetries(int attempts);

 private:
  bool CheckRows();
  bool ChooseOutputFolder(QString& folder);
  void SetRunning(bool running);
  // Rips row `row` into `output` (which the overwrite prompt may rename).
  RipResult RipTrackTo(int row, const QString& title, QString output);
  // Whether the track may be written to `output`; `replace`: something is there already.
  bool SettleOutput(QString& output, bool& replace, OutputClaim& claim);
  // Reads the track through the engine's CD stream and encodes it; a failure's reason, if any,
  // goes into `reason`.
  RipResult OwnPath(int row, const QString& writePath, const QString& shownPath, PcmTap* tap, const SourceTags* tags,
                    QString& reason);
  // Has the grabber write the track through its encoder object; a failure's reason, if any, goes
  // into `reason`.
  RipResult ComponentGrab(int row, const QString& writePath, PcmTap* tap, QString& reason);
  // A stop pressed while no grab ran is asked about before the next grab starts; Completed: go on.
  RipResult AskPendingStop();
  // Serves the user interface until a grabber event, a stop or a pump interval.
  void Wait();
  void Wake();
  // The tags of the track in row `row`, as the disc fields and the row's title give them.
  SourceTags TrackTags(int row, const QString& title) const;
  void Finish(int row, RipResult result);
  void End();

  IRipperView& view_;
  IUserInterface& ui_;
  SettingsStore& settings_;
  IAudioCDGrabber* grabber_;
  RipRunServices services_;
  RipRunStart start_;
  IConversionComponent* encoder_ = nullptr;
  std::unique_ptr<OutputClaims> claims_;
  RipVerifier verifier_;
  int read_errors_ = 0;  // of the track in hand
  QEventLoop* wake_ = nullptr;

  bool running_ = false;
  bool component_grab_ = false;
  std::atomic<bool> stop_request_{false};
  StopAnswer stop_answer_ = StopAnswer::Continue;  // a stop the user confirmed during a grab
  // Stop All was answered after the track it was meant for had ended: the run ends after it.
  bool stop_all_after_track_ = false;
  bool grab_active_ = false;
  bool abort_pending_ = false;
  int read_attempts_ = 0;
  std::atomic<bool> overwrite_all_{false};
  QString output_folder_;
  RipperSettingsValues rip_settings_;  // read once at the start of the run
  int ordinal_ = 0;
  int total_ = 0;
  int failed_ = 0;
};

}  // namespace corvane
