#include "discimage/WaveHeader.h"

#include <algorithm>

namespace corvane {
namespace {

constexpr qint64 kChunkHeaderBytes = 8;
constexpr qint64 kRiffHeaderBytes = 12;
constexpr qint64 kPcmFormatBytes = 16;
constexpr qint64 kExtensibleFormatBytes = 40;
constexpr int kFormatPcm = 1;
constexpr int kFormatExtensible = 0xfffe;
constexpr int kFrameBytes = 4;
// A file of nothing but empty chunks must not keep the reader busy for ever.
constexpr int kMaxChunks = 4096;
// The tail of the KSDATAFORMAT_SUBTYPE_PCM GUID, after its two-byte format tag.
constexpr char kPcmGuidTail[] = "\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71";

struct Format {
  int tag = 0;
  int channels = 0;
  qint64 rate = 0;
  int block_align = 0;
  int bits = 0;
  bool found = false;
};

class Numbers {
 public:
  Numbers(const QByteArray& bytes, bool bigEndian) : bytes_(bytes), big_endian_(bigEndian) {}
  quint32 At(qsizetype at, int width) const {
    quint32 value = 0;
    for (int i = 0; i < width; ++i) {
      const auto byte = static_cast<quint8>(bytes_[at + (big_endian_ ? i : width - 1 - i)]);
      value = value << 8 | byte;
    }
    return value;
  }

 private:
  const QByteArray& bytes_;
  bool big_endian_;
};

Format ReadFormat(const QByteArray& chunk, bool bigEndian) {
  Format format;
  if (chunk.size() < kPcmFormatBytes) return format;
  const Numbers numbers(chunk, bigEndian);
  format.tag = static_cast<int>(numbers.At(0, 2));
  format.channels = static_cast<int>(numbers.At(2, 2));
  format.rate = numbers.At(4, 4);
  format.block_align = static_cast<int>(numbers.At(12, 2));
  format.bits = static_cast<int>(numbers.At(14, 2));
  format.found = true;
  if (format.tag == kFormatExtensible) {
    // The real format is the sub-format GUID's first two bytes; the rest must be the PCM GUID's.
    const bool pcm = chunk.size() >= kExtensibleFormatBytes &&
                     chunk.mid(26, sizeof kPcmGuidTail - 1) == QByteArray(kPcmGuidTail, sizeof kPcmGuidTail - 1);
    format.tag = pcm ? static_cast<int>(Numbers(chunk, false).At(24, 2)) : 0;
  }
  return format;
}

bool IsCdAudio(const Format& format) {
  return format.tag == kFormatPcm && format.channels == 2 && format.rate == 44100 && format.bits == 16 &&
         format.block_align == kFrameBytes;
}

ImageFileFacts Problem(ImageFileFacts::Problem problem) {
  ImageFileFacts facts;
  facts.problem = problem;
  return facts;
}

}  // namespace

std::optional<ImageFileFacts> ReadWaveHeader(qint64 size, const FileBytes& read) {
  const QByteArray riff = read(0, kRiffHeaderBytes);
  if (riff.size() < kRiffHeaderBytes || riff.mid(8, 4) != "WAVE") return std::nullopt;
  const bool bigEndian = riff.startsWith("RIFX");
  if (!bigEndian && !riff.startsWith("RIFF")) return std::nullopt;
  Format format;
  qint64 dataOffset = -1;
  qint64 dataBytes = 0;
  qint64 at = kRiffHeaderBytes;
  for (int chunks = 0; chunks < kMaxChunks && at + kChunkHeaderBytes <= size; ++chunks) {
    const QByteArray header = read(at, kChunkHeaderBytes);
    if (header.size() < kChunkHeaderBytes) break;
    const qint64 length = Numbers(header, bigEndian).At(4, 4);
    const qint64 body = at + kChunkHeaderBytes;
    if (header.startsWith("fmt ") && !format.found) {
      format = ReadFormat(read(body, std::min<qint64>(length, kExtensibleFormatBytes)), bigEndian);
    } else if (header.startsWith("data") && dataOffset < 0) {
      dataOffset = body;
      // A writer that never came back to set the size (or a cut file) claims more than is there.
      dataBytes = std::min(length, size - body);
    }
    if (format.found && dataOffset >= 0) break;
    at = body + length + (length & 1);
  }
  if (!format.found || dataOffset < 0) return Problem(ImageFileFacts::Problem::Unreadable);
  if (!IsCdAudio(format)) return Problem(ImageFileFacts::Problem::NotCdAudio);
  ImageFileFacts facts;
  facts.kind = bigEndian ? ImageFileKind::Motorola : ImageFileKind::Wave;
  facts.audio_offset = dataOffset;
  facts.audio_bytes = dataBytes - dataBytes % kFrameBytes;
  facts.samples = facts.audio_bytes / kFrameBytes;
  return facts;
}

}  // namespace corvane
