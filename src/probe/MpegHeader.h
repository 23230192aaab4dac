#pragma once
#include <QtGlobal>

namespace corvane {

// One MPEG audio frame header (layers I to III, MPEG 1, 2 and 2.5), decoded from its 32 bits
// with the first byte of the file in the top bits.
struct MpegHeader {
  int version = 0;  // 0 reserved, 1 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
  int layer = 0;    // 1, 2, 3; 0 reserved
  int protection = 0;
  int bitrate = 0;  // kbps
  int sample_rate = 0;
  int channel_mode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
  int emphasis = 0;
  int frame_length = 0;  // bytes

  // True when `h` passes every test of a frame header: sync bits set, no reserved version,
  // layer, bitrate, sample-rate or emphasis value, and no free-format bitrate.
  static bool IsFrameHeader(quint32 h);
  // Same sync, version and layer bits.
  static bool Matches(quint32 a, quint32 b);
  static int SampleRateIndex(quint32 h) { return static_cast<int>((h >> 10) & 3); }
  static MpegHeader Decode(quint32 h);

  // Bytes of side information between the header and a Xing header.
  int SideInfoBytes() const;
  // Bytes per kbps and Hz that a frame of this kind holds: 48 for Layer I, 144 for Layer II and
  // MPEG 1 Layer III, 72 for Layer III of MPEG 2 and 2.5.
  int SlotFactor() const;
};

}  // namespace corvane
