#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "common/PcmTap.h"
#include "components/ComponentEvent.h"
#include "components/GrabberError.h"

namespace corvane {

class IConversionComponent;
class IFreedbClient;

// Kinds of tracks as GetTrackType reports them.
enum class CdTrackType : int { Audio = 0, Mode1 = 1, Mode2 = 2, Mode2Form1 = 21, Mode2Form2 = 22, Unknown = 99 };

// Disc states as GetDiscState reports them.
enum class DiscState : int { None = 0, Present = 1, Unrecognised = 2 };

// The grabber component: the machine's CD / DVD drives and the disc images the user opened (they
// are listed after the drives and behave like drives that always hold their disc), the disc in
// the current drive with its sessions and tracks, and reading a track's audio.
//
// Use: SetDiscImages, InitDevices, then SetCurrentDrive (1-based) and RefreshDisc. Sessions and
// tracks are addressed with SetCurrentSession and SetCurrentTrack (both 0-based, tracks within
// the current session); the track getters describe the current track. What RefreshDisc read is
// kept until the next RefreshDisc or drive change.
//
// Thread use: every call may block on the drive for seconds, so callers that must stay
// responsive run them off the user-interface thread; calls are serialised inside. Events are
// signalled from any thread and reach a sink (CAudioCDGrabberEvents) on the sink's thread.
//
// Events: 1 disc inserted or removed in the current drive (a background watch polls it);
// 2 grab progress (value: percent, 100 ends the grab); 3 read retries (first: attempts);
// 4 freedb query state (first: code).
class IAudioCDGrabber : public QObject {
  Q_OBJECT
 public:
  ~IAudioCDGrabber() override = default;

  // Drives.
  // Disc image files (.cue, .toc, .nrg) to list after the machine's drives at InitDevices.
  virtual void SetDiscImages(const QStringList& paths) = 0;
  // Lists the drives and images; NoDrives when there is none of either.
  virtual GrabberResult InitDevices() = 0;
  // Image files of SetDiscImages that InitDevices left out: missing, or not a disc image.
  virtual QStringList GetRejectedDiscImages() const = 0;
  // For each of those, why it could not be opened in the user's words; empty for a missing file.
  virtual QStringList GetRejectionReasons() const = 0;
  virtual int GetDriveCount() const = 0;
  virtual GrabberResult SetCurrentDrive(int drive) = 0;
  // Current drive: its device name (or image file name), vendor with model, and revision (an
  // image: a fixed description and nothing).
  virtual QString GetDriveId() const = 0;
  virtual QString GetDriveText1() const = 0;
  virtual QString GetDriveText2() const = 0;
  // Current drive's device path or image file; whether it is a disc image.
  virtual QString GetDrivePath() const = 0;
  virtual bool IsDiscImage() const = 0;

  // Tray of the current drive. NoTray for an image.
  virtual GrabberValue<bool> IsDoorOpen() = 0;
  virtual GrabberResult Door(bool open) = 0;
  virtual GrabberResult InsertDisc() = 0;

  // Disc in the current drive.
  virtual GrabberResult RefreshDisc() = 0;
  virtual DiscState GetDiscState() const = 0;
  // 0 CD-ROM, 1 CD-R, 2 CD-RW, 3 DVD-ROM, 4 DVD+R, 5 DVD+RW, 6 DVD-R, 7 DVD-RW, 8 DVD-RAM, else unknown.
  virtual int GetMediaType() const = 0;
  // The CDDB disc ID over every track of the table of contents (data tracks too).
  virtual quint32 GetDiscId() const = 0;
  // CD-TEXT of the disc as "KEYn=value" lines: TITLE0, PERFORMER0, GENRE0, ... for the disc and
  // TITLEn, PERFORMERn, ... for track n (1-based over the whole disc). Empty without CD-TEXT.
  virtual QStringList GetCdText() const = 0;
  virtual int GetSessionCount() const = 0;
  virtual GrabberResult SetCurrentSession(int session) = 0;
  virtual int GetTrackCount() const = 0;
  virtual GrabberResult SetCurrentTrack(int track) = 0;

  // Current track.
  virtual CdTrackType GetTrackType() const = 0;
  virtual int GetTrackMinutes() const = 0;
  virtual int GetTrackSeconds() const = 0;
  virtual int GetTrackSectors() const = 0;
  virtual int GetSectorBytes() const = 0;
  // Its number in the table of contents (1-based over the whole disc).
  virtual int GetTrackNumber() const = 0;

  // Grab settings: mode 0 or 1 reads without verification, 2 full paranoia, 3 and 4 full
  // paranoia with more patience; error action 0 stop, 1 silence, 2 discard; retries 0..99.
  virtual void SetGrabMode(int mode) = 0;
  virtual void SetErrorAction(int action) = 0;
  virtual void SetRetries(int retries) = 0;
  virtual int GetRetries() const = 0;
  // The drive's read offset in samples (stereo frames, may be negative), for grabs and for
  // tracks opened after the call: sample i of a track is read from sample (i + samples) of the
  // disc, silence where the drive cannot reach. 0 until set.
  virtual void SetReadOffset(int samples) = 0;
  // A tap that sees the audio of each grab started after the call, as read and shifted by the
  // offset (nullptr: none). It is called on the grab's worker thread: read what it gathered only
  // once the grab has ended (its final event 2, or GetGrabResult no longer Busy), and keep it
  // alive until then. Tracks opened with OpenTrack do not feed it.
  virtual void SetPcmTap(PcmTap* tap) = 0;

  // Writes the current track into `path` through the encoder object (set up beforehand for the
  // output kind; its input is CD audio, 44100 Hz stereo) with the grab settings, on a worker
  // thread of its own drive handle, and returns at once. Refused with NoDisc, NotAudio, Busy (a
  // grab runs), WriteError (the output cannot be created) and the drive's own failures. Events:
  // 2 with the percent in whole steps as it grows, then exactly one 2 with 100 when the grab
  // ends, however it ends; 3 with the attempts of the sector that needed the most so far, each
  // time that count grows past one. A drive change, a tray move or the grabber's end stops a
  // running grab and waits for it.
  virtual GrabberResult GrabTrack(const QString& path) = 0;
  // Stops a running grab before its next sector; its final event 2 still comes. The partial
  // file stays (closed) for the caller to remove.
  virtual void AbortGrab() = 0;
  // How the last grab ended: success, Aborted, ReadError naming the sector, WriteError; Busy
  // while it runs, NotOpen before any grab. Set before the final event 2.
  virtual GrabberResult GetGrabResult() const = 0;
  // Sectors the last grab could not read and left to its error action; set with its outcome.
  virtual int GetGrabReadErrors() const = 0;

  // Reading the current track's audio (16-bit stereo little-endian, 2352 bytes a sector).
  virtual GrabberResult OpenTrack() = 0;
  // Up to `sectors` sectors from the read position into `buffer`; an empty buffer at the end.
  virtual GrabberResult ReadSectors(int sectors, QByteArray& buffer) = 0;
  // Moves the read position to `sector` of the track (origin 1: from the track's start).
  virtual GrabberResult Seek(int sector, int origin) = 0;
  virtual GrabberResult CloseTrack() = 0;

  // Starts a look-up of the metadata of the disc read last with the client's settings and returns
  // at once; `source` is a LookupSource (0 a freedb-compatible server, 1 MusicBrainz). The
  // look-up runs on the calling thread's event loop; event 4 reports 1 (connecting), 2
  // (querying), then one of 3 (found), -2 (nothing known about the disc) or -1 (failed). A new
  // query, RefreshDisc or a drive change drops a running one without a report.
  virtual GrabberResult QueryFreedb(IFreedbClient& client, int source) = 0;
  // Drops a running look-up without a report, as a new query would; nothing when none runs.
  virtual void CancelFreedbQuery() = 0;
  // What the last successful look-up of the current disc found; empty (0) before one. A
  // RefreshDisc that finds the same table of contents again keeps it.
  virtual QString GetDiscArtist() const = 0;
  virtual QString GetDiscTitle() const = 0;
  virtual QString GetDiscGenre() const = 0;
  // 0 when the year found is not a number.
  virtual int GetDiscYear() const = 0;
  // The title found for the current track's position in the table of contents.
  virtual QString GetTrackTitle() const = 0;
  // The MusicBrainz disc ID of the disc read last; empty without one.
  virtual QString GetMusicBrainzDiscId() const = 0;

  // The grabber's encoder object, owned by the grabber: the caller sets up its output kind and
  // format (MP3, WAV, Ogg Vorbis, WMA or VOX) before GrabTrack, and leaves it alone while a grab
  // runs.
  virtual IConversionComponent* GetEncoder() = 0;

 signals:
  // Emitted from any thread; connect with a queued connection (the sinks do).
  void Event(corvane::ComponentEvent event);
};

// Creates the grabber component over libcdio; nullptr when it cannot be created.
std::unique_ptr<IAudioCDGrabber> CreateAudioCDGrabber();

}  // namespace corvane
