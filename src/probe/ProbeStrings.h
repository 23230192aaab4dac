#pragma once

// Numbers of the probe's description texts in the string table (common/strings/formats.inc).
namespace corvane::strings {

inline constexpr int kDescribeMpegVbr = 117;
inline constexpr int kDescribeMpegCbr = 118;
inline constexpr int kDescribeWav = 119;
inline constexpr int kDescribeOgg = 120;
inline constexpr int kDescribeWma = 121;
inline constexpr int kDescribeAiff = 125;
inline constexpr int kDescribeFlac = 126;
inline constexpr int kDescribeMonkeys = 127;
inline constexpr int kDescribeMusepack = 128;
inline constexpr int kDescribeAac = 129;
inline constexpr int kDescribeWmaVbr = 130;
inline constexpr int kDescribeMp4 = 131;
inline constexpr int kDescribeAc3 = 132;
inline constexpr int kDescribeWavPack = 145;
inline constexpr int kDescribeSpeex = 146;
inline constexpr int kDescribeAlac = 147;
inline constexpr int kDescribeCd = 153;
inline constexpr int kDescribeTta = 160;
inline constexpr int kDescribeOptimFrog = 163;
inline constexpr int kDescribeAdx = 164;
inline constexpr int kDescribeAix = 165;
inline constexpr int kMpegVersionFirst = 21500;  // 21500..21503: "N/A", "MPEG 2.5", "MPEG 2.0", "MPEG 1.0"
inline constexpr int kChannelModeFirst = 21504;  // 21504..21507: "Stereo", "Joint Stereo", "Dual Channel", "Mono"
inline constexpr int kChannelWordStereo = 21504;
inline constexpr int kChannelWordMono = 21507;
inline constexpr int kVbrMark = 21508;   // "VBR"
inline constexpr int kVbriMark = 21509;  // "VBRI"

}  // namespace corvane::strings
