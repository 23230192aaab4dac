#pragma once
#include <QByteArray>
#include <vector>

#include "components/accuraterip/AccurateRipDiscId.h"
#include "components/accuraterip/AccurateRipVerdict.h"

namespace corvane {

// One track's line in a database response: how many rips agree (0..255) on this checksum, and
// the checksum of frame 450 alone, which serves to find a drive's read offset.
struct AccurateRipEntry {
  int confidence = 0;
  quint32 checksum = 0;
  quint32 frame450_checksum = 0;

  friend bool operator==(const AccurateRipEntry&, const AccurateRipEntry&) = default;
};

// How a look-up ended. Discarded: the database answered with a body that is not about this disc
// or breaks off inside a record; nothing of it is believed.
enum class AccurateRipStatus { Found, NotFound, Unreachable, Discarded };

// The database's answer for a disc: one or more responses (different pressings, or different
// groups of submissions), each with one entry per audio track in disc order.
struct AccurateRipAnswer {
  AccurateRipStatus status = AccurateRipStatus::NotFound;
  std::vector<std::vector<AccurateRipEntry>> responses;

  // The verdict on audio track `audioTrackIndex` (0 for the disc's first audio track, as in
  // AccurateRipDiscId::audio_track_numbers) ripped with these checksums: accurate when v1 or v2
  // equals the track's checksum in any response, with the highest confidence among those that
  // match. Entries of confidence 0 hold no submission and are passed over, so a track that has
  // no other entry is not in the database. An answer other than Found gives Unreachable or
  // NotInDatabase for every track.
  AccurateRipVerdict For(int audioTrackIndex, quint32 v1, quint32 v2) const;
};

// Reads a database body (13-byte header: track count, id1, id2, CDDB ID; then 9 bytes per
// track: confidence, checksum, frame-450 checksum; all little-endian, responses back to back).
// Every header must name `disc`; an empty body, a header for another disc or a body that ends
// inside a record gives status Discarded with no responses.
AccurateRipAnswer ParseAccurateRipAnswer(const QByteArray& body, const AccurateRipDiscId& disc);

}  // namespace corvane
