#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

#include "components/freedb/CddbEntry.h"
#include "components/freedb/CddbLookup.h"

namespace corvane {

class BoundedGet;
struct BoundedAnswer;

// The audio part of a disc's table of contents as MusicBrainz counts it: trailing data tracks left
// out, and on a disc whose data track sits in a second session the lead-out placed 11400 frames
// before that track. Frames are absolute addresses including the 150-frame lead-in.
struct MusicBrainzToc {
  int first_track = 1;
  int last_track = 0;
  int leadout_frame = 0;
  std::vector<int> track_frames;  // first_track..last_track
};

// The disc ID MusicBrainz files the disc under (28 characters); empty when the table is not one
// libdiscid accepts.
QString MusicBrainzDiscId(const MusicBrainzToc& toc);

struct MusicBrainzSettings {
  QString base_url = QStringLiteral("https://musicbrainz.org");  // the web service lives under /ws/2/
  int timeout_ms = FreedbClientSettings::kDefaultTimeoutMs;      // one deadline for the whole look-up
  QString proxy_host;                                            // empty: a direct connection
  int proxy_port = 80;
  QString user_agent;  // "name/version ( contact )"; empty: the program's name and version
};

// Looks a disc up on the MusicBrainz web service by its disc ID. Reports like CddbLookup:
// Connecting, Querying once the request is sent, then exactly one final state through finished().
// Requests of all look-ups in the process are spaced at least one second apart, counted from the
// previous request's end: a look-up started sooner waits for its turn, and the deadline runs from
// the moment its request goes out. A table without a disc ID fails without a request.
class MusicBrainzLookup final : public QObject {
  Q_OBJECT
 public:
  static constexpr qint64 kMaxAnswerBytes = 4 << 20;

  explicit MusicBrainzLookup(QObject* parent = nullptr);
  ~MusicBrainzLookup() override;

  // Starts a look-up; one still running is dropped without a report. The entry's discId is the
  // MusicBrainz disc ID, its category empty.
  void Start(const MusicBrainzSettings& settings, const MusicBrainzToc& toc);
  bool IsRunning() const;

 signals:
  void progress(corvane::CddbLookupState state);
  // `entry` is filled only when `state` is Found.
  void finished(corvane::CddbLookupState state, const corvane::CddbEntry& entry);

 private:
  void Send();
  void OnAnswer(const BoundedAnswer& reply);
  void Finish(CddbLookupState state, const CddbEntry& entry = {});
  void Drop();

  BoundedGet* get_;  // its deadline runs from the request on
  QTimer turn_;      // waits for this look-up's turn to send
  MusicBrainzSettings settings_;
  QString disc_id_;
  bool running_ = false;
  bool sent_ = false;  // the request went out: its end counts for the spacing
};

}  // namespace corvane
