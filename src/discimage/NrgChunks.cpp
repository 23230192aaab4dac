#include "discimage/NrgChunks.h"

#include <QByteArrayView>
#include <algorithm>
#include <limits>

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"

namespace corvane {
namespace {

constexpr qint64 kMaxTableBytes = 4 << 20;  // a real table is a few kilobytes
constexpr int kMaxChunks = 4096;
constexpr int kDaoHeaderBytes = 22;  // size copy, UPC, padding, TOC type, first and last track
constexpr int kAudioMode = 0x07, kAudioSubChannelMode = 0x10;

qint64 Be(QByteArrayView bytes, qsizetype at, int width) {
  quint64 value = 0;
  for (int i = 0; i < width; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return static_cast<qint64>(value);
}

qint32 BeSigned32(QByteArrayView bytes, qsizetype at) {
  return static_cast<qint32>(static_cast<quint32>(Be(bytes, at, 4)));
}

int FromBcd(unsigned char value) {
  return (value >> 4) <= 9 && (value & 0x0f) <= 9 ? (value >> 4) * 10 + (value & 0x0f) : value;
}

// Sector bytes of a Nero track mode: 0 mode 1, 2/3 mode 2 forms, 6 raw, 7 audio, 0x0f-0x11 with
// sub-channel data.
int SectorBytesOfMode(int mode) {
  switch (mode) {
    case 0x00:
    case 0x02:
      return 2048;
    case 0x03:
      return 2336;
    case 0x05:
    case 0x06:
    case kAudioMode:
      return 2352;
    case 0x0f:
    case kAudioSubChannelMode:
    case 0x11:
      return 2448;
    default:
      return 0;
  }
}

QString Printable(QByteArrayView bytes) {
  QString text;
  for (const char c : bytes) {
    if (c >= 0x21 && c <= 0x7e) text += QLatin1Char(c);
  }
  return text;
}

class ChunkReader {
 public:
  ChunkReader(qint64 table_offset, NrgChunks& chunks) : table_offset_(table_offset), chunks_(chunks) {}

  std::optional<QString> Take(const QByteArray& id, QByteArrayView data, qint64 at) {
    if (id == "CUEX" || id == "CUES") return Cues(data, at, id == "CUEX");
    if (id == "DAOX" || id == "DAOI") return Dao(data, at, id == "DAOX" ? 8 : 4);
    if (id == "ETN2" || id == "ETNF") return Tao(data, at, id == "ETN2" ? 8 : 4);
    if (id == "SINF" && data.size() >= 4) chunks_.session_tracks.push_back(static_cast<int>(Be(data, 0, 4)));
    if (id == "CDTX") chunks_.cd_text.append(data.toByteArray());
    return std::nullopt;
  }

 private:
  std::optional<QString> WrongSize(const char* id, qint64 at, qsizetype size) const {
    return StringTable::Format(text::kNrgChunkSize,
                               {QLatin1String(id), QString::number(table_offset_ + at), QString::number(size)});
  }

  // Blocks of 8 bytes: control/ADR, track (BCD), index (BCD), padding, then the LBA (CUEX) or the
  // absolute minute, second and frame (CUES).
  std::optional<QString> Cues(QByteArrayView data, qint64 at, bool lba) {
    if (data.size() % 8 != 0) return WrongSize(lba ? "CUEX" : "CUES", at, data.size());
    for (qsizetype block = 0; block < data.size(); block += 8) {
      const int track = FromBcd(static_cast<unsigned char>(data[block + 1]));
      const int index = FromBcd(static_cast<unsigned char>(data[block + 2]));
      if (track < 1 || track > 99 || index > 99) continue;
      qint64 address = 0;
      if (lba) {
        address = BeSigned32(data, block + 4);
      } else {
        const int m = static_cast<unsigned char>(data[block + 5]), s = static_cast<unsigned char>(data[block + 6]),
                  f = static_cast<unsigned char>(data[block + 7]);
        if (s >= 60 || f >= 75) continue;
        address = (m * 60 + s) * 75 + f - 150;
      }
      chunks_.cue_lbas[{track, index}] = address;
      if (index == 1) chunks_.cue_control[track] = static_cast<unsigned char>(data[block]) >> 4;
    }
    return std::nullopt;
  }

  std::optional<QString> Dao(QByteArrayView data, qint64 at, int width) {
    const qsizetype entry = 18 + 3 * width;
    if (data.size() < kDaoHeaderBytes || (data.size() - kDaoHeaderBytes) % entry != 0)
      return WrongSize(width == 8 ? "DAOX" : "DAOI", at, data.size());
    if (chunks_.catalog.isEmpty()) chunks_.catalog = Printable(data.sliced(4, 13));
    for (qsizetype e = kDaoHeaderBytes; e < data.size(); e += entry) {
      NrgTrack track;
      track.isrc = Printable(data.sliced(e, 12));
      track.sector_bytes = static_cast<int>(Be(data, e + 12, 2));
      int mode = static_cast<int>(Be(data, e + 14, 2));
      if (mode > 0xff) mode >>= 8;  // written as one byte and a padding byte
      track.audio = mode == kAudioMode || mode == kAudioSubChannelMode;
      track.index0 = Be(data, e + 18, width);
      track.index1 = Be(data, e + 18 + width, width);
      track.end = Be(data, e + 18 + 2 * width, width);
      chunks_.tracks.push_back(track);
    }
    return std::nullopt;
  }

  // Track-at-once entries: offset, length, mode, the track's start LBA.
  std::optional<QString> Tao(QByteArrayView data, qint64 at, int width) {
    const qsizetype entry = width == 8 ? 32 : 20;
    if (data.size() % entry != 0) return WrongSize(width == 8 ? "ETN2" : "ETNF", at, data.size());
    for (qsizetype e = 0; e < data.size(); e += entry) {
      NrgTrack track;
      track.index0 = track.index1 = Be(data, e, width);
      const qint64 length = Be(data, e + width, width);
      const bool fits = track.index0 >= 0 && length >= 0 && length <= std::numeric_limits<qint64>::max() - track.index0;
      track.end = fits ? track.index0 + length : -1;  // -1: refused as lying outside the image
      const int mode = static_cast<int>(Be(data, e + 2 * width, 4) & 0xff);
      track.audio = mode == kAudioMode || mode == kAudioSubChannelMode;
      track.sector_bytes = SectorBytesOfMode(mode);
      track.lba = BeSigned32(data, e + 2 * width + 4);
      chunks_.tracks.push_back(track);
    }
    return std::nullopt;
  }

  qint64 table_offset_;
  NrgChunks& chunks_;
};

// Where the chunk table starts, from the footer: "NER5" and a 64-bit offset in the last 12
// bytes, or "NERO" and a 32-bit offset in the last 8. `footer` is set to where the footer begins.
std::optional<QString> FindTable(qint64 size, const NrgRead& read, qint64& table, qint64& footer) {
  const QByteArray tail = size >= 8 ? read(std::max<qint64>(0, size - 12), std::min<qint64>(12, size)) : QByteArray();
  if (tail.size() == 12 && tail.startsWith("NER5")) {
    table = Be(tail, 4, 8);
    footer = size - 12;
  } else if (tail.size() >= 8 && QByteArrayView(tail).sliced(tail.size() - 8, 4) == "NERO") {
    table = Be(tail, tail.size() - 4, 4);
    footer = size - 8;
  } else {
    return StringTable::Text(text::kNrgNoFooter);
  }
  if (table < 0 || table > footer)
    return StringTable::Format(text::kNrgFooterOutside, {QString::number(static_cast<quint64>(table))});
  if (footer - table > kMaxTableBytes)
    return StringTable::Format(text::kNrgTableTooLarge, {QString::number(footer - table)});
  return std::nullopt;
}

}  // namespace

std::optional<QString> ReadNrgChunks(qint64 size, const NrgRead& read, NrgChunks& chunks) {
  qint64 table_offset = 0, footer = 0;
  if (const auto problem = FindTable(size, read, table_offset, footer)) return problem;
  const QByteArray table = read(table_offset, footer - table_offset);
  if (table.size() != footer - table_offset) return StringTable::Text(text::kNrgNoFooter);
  chunks.data_bytes = table_offset;
  ChunkReader reader(table_offset, chunks);
  qsizetype at = 0;
  for (int count = 0; at < table.size(); ++count) {
    if (count >= kMaxChunks) return StringTable::Text(text::kNrgTooManyChunks);
    const QByteArray id = table.mid(at, 4);
    const qint64 length = at + 8 <= table.size() ? Be(table, at + 4, 4) : -1;
    if (length < 0 || length > table.size() - at - 8)
      return StringTable::Format(text::kNrgChunkPastEnd,
                                 {Printable(id), QString::number(table_offset + at), QString::number(length)});
    if (id == "END!") break;
    if (const auto problem = reader.Take(id, QByteArrayView(table).sliced(at + 8, length), at)) return problem;
    at += 8 + length;
  }
  return std::nullopt;
}

}  // namespace corvane
