#include "support/AccurateRipReference.h"

#include <QList>
#include <QString>

#include "support/ToolRunner.h"

namespace corvane::test {

namespace {

// Reads the track's raw PCM from standard input; prints v1, v2 and zlib's CRC-32.
constexpr char kReference[] = R"(
import struct, sys, zlib
data = sys.stdin.buffer.read()
first, last = sys.argv[1] == "1", sys.argv[2] == "1"
words = [w for (w,) in struct.iter_unpack("<I", data)]
lo = hi = 0
for position in range(1, len(words) + 1):
    if first and position < 5 * 588:
        continue
    if last and position > len(words) - 5 * 588:
        continue
    product = words[position - 1] * position
    lo = (lo + product) % 2**32
    hi = (hi + (product >> 32)) % 2**32
print(lo, (lo + hi) % 2**32, zlib.crc32(data))
)";

}  // namespace

void PrintTo(const ReferenceSums& sums, std::ostream* out) {
  *out << std::hex << "v1 " << sums.v1 << " v2 " << sums.v2 << " crc " << sums.crc;
}

ReferenceSums ReferenceAccurateRip(const QByteArray& pcm, bool first, bool last) {
  const QList<QByteArray> fields =
      ToolOutput(QStringLiteral("python3"),
                 {QStringLiteral("-c"), QString::fromLatin1(kReference),
                  first ? QStringLiteral("1") : QStringLiteral("0"), last ? QStringLiteral("1") : QStringLiteral("0")},
                 {.input = pcm})
          .simplified()
          .split(' ');
  if (fields.size() != 3) throw ToolFailure("python3 printed no three checksums");
  return {fields[0].toUInt(), fields[1].toUInt(), fields[2].toUInt()};
}

}  // namespace corvane::test
