#include "components/accuraterip/Crc32.h"

#include <array>

namespace corvane {
namespace {

constexpr quint32 kPolynomial = 0xEDB88320u;
constexpr int kSlices = 8;

using Tables = std::array<std::array<quint32, 256>, kSlices>;

// Table 0 is the classic byte-at-a-time table; table s advances a byte that lies s bytes further
// back, so eight bytes are folded in with eight look-ups and no dependency between them.
constexpr Tables MakeTables() {
  Tables tables{};
  for (quint32 byte = 0; byte < 256; ++byte) {
    quint32 crc = byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) != 0 ? (crc >> 1) ^ kPolynomial : crc >> 1;
    tables[0][byte] = crc;
  }
  for (quint32 byte = 0; byte < 256; ++byte)
    for (int slice = 1; slice < kSlices; ++slice) {
      const quint32 previous = tables[slice - 1][byte];
      tables[slice][byte] = (previous >> 8) ^ tables[0][previous & 0xffu];
    }
  return tables;
}

constexpr Tables kTables = MakeTables();

quint32 LoadLittleEndian(const unsigned char* bytes) {
  return static_cast<quint32>(bytes[0]) | static_cast<quint32>(bytes[1]) << 8 | static_cast<quint32>(bytes[2]) << 16 |
         static_cast<quint32>(bytes[3]) << 24;
}

}  // namespace

quint32 Crc32Update(quint32 crc, const char* data, qsizetype size) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  crc = ~crc;
  for (; size >= kSlices; size -= kSlices, bytes += kSlices) {
    const quint32 low = LoadLittleEndian(bytes) ^ crc;
    const quint32 high = LoadLittleEndian(bytes + 4);
    crc = kTables[7][low & 0xffu] ^ kTables[6][(low >> 8) & 0xffu] ^ kTables[5][(low >> 16) & 0xffu] ^
          kTables[4][low >> 24] ^ kTables[3][high & 0xffu] ^ kTables[2][(high >> 8) & 0xffu] ^
          kTables[1][(high >> 16) & 0xffu] ^ kTables[0][high >> 24];
  }
  for (; size > 0; --size, ++bytes) crc = (crc >> 8) ^ kTables[0][(crc ^ *bytes) & 0xffu];
  return ~crc;
}

}  // namespace corvane
