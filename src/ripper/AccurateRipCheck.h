#pragma once
#include <QString>
#include <vector>

#include "components/accuraterip/AccurateRipAnswer.h"
#include "components/accuraterip/AccurateRipDiscId.h"
#include "components/accuraterip/AccurateRipVerdict.h"

namespace corvane {

class SettingsStore;

// A ripped track's checksums, as its reader's AccurateRipChecksum computed them.
struct TrackChecksums {
  int audio_index = -1;  // among the disc's audio tracks, from 0 (AccurateRipDiscId's order)
  quint32 v1 = 0;
  quint32 v2 = 0;
  quint32 crc32 = 0;
  bool complete = false;  // the checksum saw the track's audio whole and in order
};

// What the database said of a rip's tracks.
struct AccurateRipCheckResult {
  AccurateRipStatus status = AccurateRipStatus::NotFound;
  QString disc_name;                         // "dBAR-nnn-id1-id2-cddb.bin"
  std::vector<AccurateRipVerdict> verdicts;  // one per track checked, in the order given
  int accurate = 0;

  // The database's answer in a few words, naming the disc: "database unreachable (dBAR-....bin)".
  QString DatabaseText() const;
  // "AccurateRip: 11 of 12 tracks accurate", or that the tracks were not checked (database
  // unreachable, disc not in it).
  QString SummaryText() const;
};

// The disc's name in the database without the file ending: "dBAR-010-00164419-00b9f6e2-9e11600b".
QString DiscIdName(const AccurateRipDiscId& id);

// Asks the database (the "AccurateRip URL" of "Rip Setting", the public one when empty) about
// the disc and judges each track. Runs the request to its end on a local event loop. Not found,
// unreachable and an answer that does not fit the disc are outcomes, never errors; a track whose
// checksum did not see all of its audio cannot be accurate.
AccurateRipCheckResult CheckWithAccurateRip(const AccurateRipDiscId& disc, const std::vector<TrackChecksums>& tracks,
                                            const SettingsStore& settings, int timeoutMs = 10000);

}  // namespace corvane
