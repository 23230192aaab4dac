#include "engine/WavStreamHeader.h"

#include <QtEndian>

namespace corvane {
namespace {

void Append32(QByteArray& out, quint32 value) {
  char bytes[4];
  qToLittleEndian(value, bytes);
  out.append(bytes, 4);
}

void Append16(QByteArray& out, quint16 value) {
  char bytes[2];
  qToLittleEndian(value, bytes);
  out.append(bytes, 2);
}

constexpr quint32 kUnknownSize = 0xFFFFFFFFu;
constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatExtensible = 0xFFFE;
constexpr quint32 kPlainFormatSize = 16;
constexpr quint32 kExtensibleFormatSize = 40;
constexpr quint16 kExtensionSize = 22;
// KSDATAFORMAT_SUBTYPE_PCM: the format tag PCM followed by the fixed tail of the audio GUIDs.
constexpr char kPcmSubFormat[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, char(0x80), 0, 0, char(0xAA), 0, 0x38, char(0x9B), 0x71};

// Speaker positions in the order FLAC assigns channels (and FFmpeg's default layouts for 5 to 8
// channels): 3.0, quad, 5.0, 5.1, 6.1, 7.1. No mask for other counts.
quint32 DefaultChannelMask(int channels) {
  constexpr quint32 kMasks[] = {0x7, 0x33, 0x37, 0x3F, 0x70F, 0x63F};
  return channels >= 3 && channels <= 8 ? kMasks[channels - 3] : 0;
}

}  // namespace

QByteArray MakeWavStreamHeader(int sampleRate, int channels, int bitsPerSample, qint64 frames) {
  const quint16 blockAlign = static_cast<quint16>(channels * bitsPerSample / 8);
  const bool extensible = channels > 2;
  const quint32 formatSize = extensible ? kExtensibleFormatSize : kPlainFormatSize;
  const quint32 headerAfterRiffSize = 4 + 8 + formatSize + 8;  // "WAVE", fmt chunk, data chunk header
  quint32 riffSize = kUnknownSize;
  quint32 dataSize = kUnknownSize;
  if (frames >= 0 && frames <= static_cast<qint64>(kUnknownSize - 1 - headerAfterRiffSize) / blockAlign) {
    dataSize = static_cast<quint32>(frames * blockAlign);
    riffSize = headerAfterRiffSize + dataSize;
  }

  QByteArray header;
  header.reserve(static_cast<int>(headerAfterRiffSize + 8));
  header.append("RIFF", 4);
  Append32(header, riffSize);
  header.append("WAVEfmt ", 8);
  Append32(header, formatSize);
  Append16(header, extensible ? kFormatExtensible : kFormatPcm);
  Append16(header, static_cast<quint16>(channels));
  Append32(header, static_cast<quint32>(sampleRate));
  Append32(header, static_cast<quint32>(sampleRate) * blockAlign);
  Append16(header, blockAlign);
  Append16(header, static_cast<quint16>(bitsPerSample));
  if (extensible) {
    Append16(header, kExtensionSize);
    Append16(header, static_cast<quint16>(bitsPerSample));  // all bits valid
    Append32(header, DefaultChannelMask(channels));
    header.append(kPcmSubFormat, sizeof kPcmSubFormat);
  }
  header.append("data", 4);
  Append32(header, dataSize);
  return header;
}

}  // namespace corvane
