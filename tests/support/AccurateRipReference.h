#pragma once
// A second implementation of the AccurateRip track checksums, in Python, written from the
// published description: what the product's own checksums are judged against.
#include <QByteArray>
#include <ostream>

namespace corvane::test {

struct ReferenceSums {
  quint32 v1 = 0;
  quint32 v2 = 0;
  quint32 crc = 0;  // zlib's CRC-32 of the whole track
  friend bool operator==(const ReferenceSums&, const ReferenceSums&) = default;
};

void PrintTo(const ReferenceSums& sums, std::ostream* out);

// The checksums of a track's raw PCM (16-bit little-endian stereo); `first` and `last` say
// whether it is the disc's first or last audio track. Throws ToolFailure when python3 fails.
ReferenceSums ReferenceAccurateRip(const QByteArray& pcm, bool first, bool last);

}  // namespace corvane::test
