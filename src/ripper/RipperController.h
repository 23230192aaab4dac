#pragma once
#include <QHash>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "common/EventLoopWaiting.h"
#include "common/UserInterface.h"
#include "components/CAudioCDGrabberEvents.h"
#include "ripper/DiscReading.h"
#include "ripper/FreedbQuery.h"
#include "ripper/RipperComponents.h"
#include "ripper/TrackPlayback.h"

namespace corvane {

class IRipperView;
class SettingsStore;

// The CD side of the ripper page as plain logic: the components, the device box with the
// machine's drives and the disc images the user opened, loading the disc of the chosen drive into
// the track list, disc changes, the tray, and playback (TrackPlayback).
//
// Drives are asked off the user-interface thread while the user interface is kept going, so a
// drive that takes seconds to answer never freezes the window. While a load runs, the page's
// commands are refused and a disc change is remembered; the disc is loaded again once the load
// ends.
class RipperController : public IAudioCDGrabberEventHandler, public IAudioPlayer2EventHandler {
 public:
  RipperController(SettingsStore& settings, IUserInterface& ui, IRipperView& view, ComponentFactories factories = {});
  ~RipperController() override;

  // Once, when the page is created: reads the page's settings (absent ones are written with their
  // defaults), opens the progress window, lets `fillControls` fill the page's controls, then
  // initialises the drives and loads the disc when auto load is on. The popup that a load shows
  // waits for ShowPendingTips, so that it comes up over the window, not before it.
  void InitialisePage(const std::function<void()>& fillControls = {});
  // Creates the components and lists the drives; false (and told) on failure.
  bool InitialiseDevices();
  // The user chose entry `index` of the device box.
  void DriveEntryChanged(int index);
  // The auto-load box.
  void SetAutoLoad(bool on);
  bool AutoLoad() const { return auto_load_; }
  void LoadDisc();
  // What the start-up held back until the window is on the screen: the box that says there is no
  // drive, then the information popup of the first load.
  void ShowPendingTips();
  bool TipsPending() const { return tips_due_ || !held_message_.isEmpty(); }
  // Eject / insert (Alt+E) and the hidden insert command.
  void EjectOrInsert();
  void InsertDisc();
  // Adds a disc image to the drive list, selects it and loads it.
  void OpenDiscImage(const QString& path);
  // Takes the disc image of device box entry `index` off the list (a drive stays).
  void RemoveDiscImage(int index);
  // A rip runs: every command that would touch the drive or the list waits until it ends.
  void SetRipRunning(bool running);
  // "&FreeDB": looks the disc up with the freedb settings; the rows take the titles found.
  void StartFreedbQuery();

  bool DrivesReady() const { return drives_ready_; }
  // A command, a load or a look-up runs; the page's commands wait for it.
  bool Busy() const { return busy_ || rip_running_ || query_->Running(); }
  const std::vector<DriveChoice>& Drives() const { return drives_; }
  // The CD-TEXT lines read by the last load.
  const QStringList& CdText() const { return disc_.cd_text; }
  bool FreedbDataPresent() const { return freedb_data_present_; }
  TrackPlayback& Playback() { return *playback_; }
  RipperComponents& Components() { return *components_; }
  // Told after every device initialisation, when the components may have been made again.
  void SetComponentsChanged(std::function<void()> changed) { components_changed_ = std::move(changed); }

  // IAudioCDGrabberEventHandler
  void OnDiscChanged() override;
  void OnFreedbState(int code) override;
  // The rip's grabs serve their own progress events.
  void OnGrabProgress(double /*percent*/) override {}
  void OnReadRetries(int /*attempts*/) override {}

 private:
  // IAudioPlayer2EventHandler, handed on to the playback.
  void OnFeedRequest() override { playback_->OnFeedRequest(); }
  void OnPosition(qint64 frames) override { playback_->OnPosition(frames); }
  void OnPlaybackEnded() override { playback_->OnPlaybackEnded(); }

  class BusyScope;

  void SelectDrive(int drive);
  // The grabber when the tray may be moved now; nullptr (and a disc image told it has no tray)
  // otherwise.
  IAudioCDGrabber* TrayGrabber();
  // Forgets the images the grabber refused, and tells why.
  void DropRejectedImages(const QStringList& rejected, const QStringList& reasons);
  // Why the image at `path` is not listed, in the user's words.
  QString RefusalText(const QString& path) const;
  bool LoadAndReport();
  // Fills the disc's fields and the rows of the disc read last, with the metadata of the last
  // look-up when there is one, else with the disc's CD-TEXT.
  void LoadRows();
  void ShowTips();
  void StartQuery();
  // Acts on how a look-up ended.
  void Conclude(FreedbOutcome outcome);
  // Empties the list and every field of the disc it showed.
  void ClearList();
  void FailLoad();
  // Shows `text` now, or once the window is up when the page is still being made.
  void Tell(const QString& text, MessageIcon icon);
  // A disc change that arrived while the page was busy is handled now.
  void RunPendingChange();

  SettingsStore& settings_;
  IUserInterface& ui_;
  // The page's thread waits for the drive on its event loop, so that the window stays alive.
  EventLoopWaiting waiting_;
  IRipperView& view_;
  std::unique_ptr<RipperComponents> components_;
  std::unique_ptr<TrackPlayback> playback_;
  std::unique_ptr<FreedbQuery> query_;
  std::function<void()> components_changed_;
  std::vector<DriveChoice> drives_;
  QHash<QString, QString> refusals_;  // refused images (normalised paths): why, as told
  DiscReading disc_;
  bool drives_ready_ = false;
  bool auto_load_ = false;
  bool freedb_data_present_ = false;
  bool busy_ = false;
  bool initialising_ = false;
  bool tips_due_ = false;
  bool change_pending_ = false;
  bool no_drives_told_ = false;
  bool rip_running_ = false;
  QString held_message_;  // a box of the start-up, shown once the window is up
  MessageIcon held_icon_ = MessageIcon::None;
};

}  // namespace corvane
