#pragma once
// The AccurateRip v1 and v2 checksums and the CRC-32 of a track's PCM, computed by a second
// implementation in Python written from the published description, to judge the program's own.
#include <QByteArray>
#include <ostream>

namespace corvane::test {

struct ReferenceSums {
  quint32 v1 = 0;
  quint32 v2 = 0;
  quint32 crc = 0;
  friend bool operator==(const ReferenceSums&, const ReferenceSums&) = default;
};

void PrintTo(const ReferenceSums& sums, std::ostream* out);

// The sums of `pcm` (16-bit stereo little-endian) as the first and/or last audio track of a disc;
// python3 missing or failing fails the test.
ReferenceSums ReferenceChecksums(const QByteArray& pcm, bool first, bool last);

}  // namespace corvane::test
