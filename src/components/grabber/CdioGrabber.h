#pragma once
#include <mutex>
#include <optional>
#include <vector>

#include "components/IAudioCDGrabber.h"
#include "components/IConversionComponent.h"
#include "components/freedb/CddbEntry.h"
#include "components/freedb/CddbLookup.h"
#include "components/grabber/DiscToc.h"
#include "components/grabber/DriveList.h"
#include "components/grabber/GrabJob.h"
#include "components/grabber/MediaChangeWatch.h"
#include "components/grabber/TrackReader.h"
#include "discimage/DiscAccess.h"

namespace corvane {

// The grabber over libcdio and libcdio-paranoia. Every call takes one lock, so calls from the
// user-interface thread and from workers follow each other; the media-change watch polls with
// a drive handle of its own and never takes it, and so does a grab's worker.
class CdioGrabber final : public IAudioCDGrabber {
 public:
  CdioGrabber();
  ~CdioGrabber() override;

  void SetDiscImages(const QStringList& paths) override;
  GrabberResult InitDevices() override;
  QStringList GetRejectedDiscImages() const override;
  QStringList GetRejectionReasons() const override;
  int GetDriveCount() const override;
  GrabberResult SetCurrentDrive(int drive) override;
  QString GetDriveId() const override;
  QString GetDriveText1() const override;
  QString GetDriveText2() const override;
  QString GetDrivePath() const override;
  bool IsDiscImage() const override;

  GrabberValue<bool> IsDoorOpen() override;
  GrabberResult Door(bool open) override;
  GrabberResult InsertDisc() override;

  GrabberResult RefreshDisc() override;
  DiscState GetDiscState() const override;
  int GetMediaType() const override;
  quint32 GetDiscId() const override;
  QStringList GetCdText() const override;
  int GetSessionCount() const override;
  GrabberResult SetCurrentSession(int session) override;
  int GetTrackCount() const override;
  GrabberResult SetCurrentTrack(int track) override;

  CdTrackType GetTrackType() const override;
  int GetTrackMinutes() const override;
  int GetTrackSeconds() const override;
  int GetTrackSectors() const override;
  int GetSectorBytes() const override;
  int GetTrackNumber() const override;

  void SetGrabMode(int mode) override;
  void SetErrorAction(int action) override;
  void SetRetries(int retries) override;
  int GetRetries() const override;
  void SetReadOffset(int samples) override;
  void SetPcmTap(PcmTap* tap) override;

  GrabberResult GrabTrack(const QString& path) override;
  void AbortGrab() override;
  GrabberResult GetGrabResult() const override;
  int GetGrabReadErrors() const override;

  GrabberResult OpenTrack() override;
  GrabberResult ReadSectors(int sectors, QByteArray& buffer) override;
  GrabberResult Seek(int sector, int origin) override;
  GrabberResult CloseTrack() override;

  GrabberResult QueryFreedb(IFreedbClient& client, int source) override;
  void CancelFreedbQuery() override;
  QString GetDiscArtist() const override;
  QString GetDiscTitle() const override;
  QString GetDiscGenre() const override;
  int GetDiscYear() const override;
  QString GetTrackTitle() const override;
  QString GetMusicBrainzDiscId() const override;

  IConversionComponent* GetEncoder() override;

 private:
  const DriveEntry* CurrentDrive() const;
  const DiscToc::Track* CurrentTrack() const;
  // Forgets the disc read last (and closes its track) for a drive change, a refresh or a tray move.
  void ForgetDisc();
  GrabberResult CheckTray() const;
  // Watches the current drive for disc changes, unless it is an image.
  void StartWatch();
  // Stops a running grab and waits for its worker; without the lock, which the worker's event
  // handlers may want.
  void StopGrab();
  // Waits for a grab that is stopping or has ended and keeps its outcome; without the lock.
  void Retire(std::unique_ptr<GrabJob> job);
  // Forgets the metadata and drops a running look-up without a report; under the lock.
  void DropLookup();
  // Reports the states of `lookup` as event 4 while it is the current one.
  template <typename Lookup>
  void Follow(Lookup* lookup, quint64 generation);
  void OnLookupState(quint64 generation, CddbLookupState state, const CddbEntry* entry);

  mutable std::mutex mutex_;
  QStringList images_;
  DriveListing listing_;
  int current_ = 0;                    // 1-based; 0: none chosen
  std::unique_ptr<IDiscAccess> disc_;  // the disc read last, for its tracks
  DiscToc toc_;
  int session_ = 0;
  int track_ = 0;
  ReadSettings read_settings_;
  PcmTap* tap_ = nullptr;  // for the grabs to come
  std::unique_ptr<TrackReader> reader_;
  std::unique_ptr<IConversionComponent> encoder_;
  // The grab running or finished last, and how the one before it ended.
  std::unique_ptr<GrabJob> grab_;
  GrabberResult last_grab_;
  int last_grab_read_errors_ = 0;
  // The look-up running or finished last; it lives on the thread that started it. Its states
  // count only while `lookup_generation_` is the one it was started with.
  QObject* lookup_ = nullptr;
  quint64 lookup_generation_ = 0;
  std::optional<CddbEntry> entry_;  // from the last successful look-up of this disc
  // Last member: stopped first on destruction, before what its events describe goes away.
  std::unique_ptr<MediaChangeWatch> watch_;
};

}  // namespace corvane
