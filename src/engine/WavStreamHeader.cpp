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

}  // namespace

QByteArray MakeStreamingWavHeader(int sampleRate, int channels, int bitsPerSample) {
  const quint16 blockAlign = static_cast<quint16>(channels * bitsPerSample / 8);
  QByteArray header;
  header.reserve(44);
  header.append("RIFF", 4);
  Append32(header, kUnknownSize);
  header.append("WAVEfmt ", 8);
  Append32(header, 16);
  Append16(header, kFormatPcm);
  Append16(header, static_cast<quint16>(channels));
  Append32(header, static_cast<quint32>(sampleRate));
  Append32(header, static_cast<quint32>(sampleRate) * blockAlign);
  Append16(header, blockAlign);
  Append16(header, static_cast<quint16>(bitsPerSample));
  header.append("data", 4);
  Append32(header, kUnknownSize);
  return header;
}

}  // namespace corvane
