#include "probe/MpegHeader.h"

namespace corvane {
namespace {

constexpr int kBitrates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},  // MPEG 1, Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},     // MPEG 1, Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},      // MPEG 1, Layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},     // MPEG 2/2.5, Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},          // MPEG 2/2.5, Layer II/III
};

constexpr int kSampleRates[4][3] = {
    {0, 0, 0},
    {11025, 12000, 8000},   // MPEG 2.5
    {22050, 24000, 16000},  // MPEG 2
    {44100, 48000, 32000},  // MPEG 1
};

constexpr int kVersionOfBits[4] = {1, 0, 2, 3};
constexpr int kLayerOfBits[4] = {0, 3, 2, 1};

int BitrateTable(int version, int layer) {
  if (version == 3) return layer - 1;
  return layer == 1 ? 3 : 4;
}

}  // namespace

bool MpegHeader::IsFrameHeader(quint32 h) {
  return h > 0xFFDFFFFFu && ((h >> 19) & 3) != 1 && ((h >> 17) & 3) != 0 && ((h >> 12) & 15) != 0 &&
         ((h >> 12) & 15) != 15 && ((h >> 10) & 3) != 3 && (h & 3) != 2;
}

bool MpegHeader::Matches(quint32 a, quint32 b) { return (a & 0xFFFE0000u) == (b & 0xFFFE0000u); }

MpegHeader MpegHeader::Decode(quint32 h) {
  MpegHeader header;
  header.version = kVersionOfBits[(h >> 19) & 3];
  header.layer = kLayerOfBits[(h >> 17) & 3];
  header.protection = static_cast<int>((h >> 16) & 1);
  const int bitrateIndex = static_cast<int>((h >> 12) & 15);
  if (header.layer != 0 && header.version != 0) {
    header.bitrate = kBitrates[BitrateTable(header.version, header.layer)][bitrateIndex];
  }
  const int rateIndex = SampleRateIndex(h);
  header.sample_rate = rateIndex < 3 ? kSampleRates[header.version][rateIndex] : 0;
  header.channel_mode = static_cast<int>((h >> 6) & 3);
  header.emphasis = static_cast<int>(h & 3);
  const int padding = static_cast<int>((h >> 9) & 1);
  if (header.sample_rate > 0 && header.bitrate > 0) {
    // Integer arithmetic gives the exact integer part; floating point can land just below it.
    const qint64 bitsPerSecond = static_cast<qint64>(header.bitrate) * 1000;
    if (header.layer == 1) {
      header.frame_length = static_cast<int>((bitsPerSecond * 12 / header.sample_rate + padding) * 4);
    } else {
      const int factor = header.layer == 3 && header.version != 3 ? 72 : 144;
      header.frame_length = static_cast<int>(bitsPerSecond * factor / header.sample_rate) + padding;
    }
  }
  return header;
}

int MpegHeader::SideInfoBytes() const {
  const bool mono = channel_mode == 3;
  if (version == 3) return mono ? 17 : 32;
  return mono ? 9 : 17;
}

int MpegHeader::SlotFactor() const {
  if (layer == 1) return 48;
  if (layer == 3 && version != 3) return 72;
  return 144;
}

}  // namespace corvane
