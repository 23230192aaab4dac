#pragma once

// Numbers of the formats area's texts in the string table (formats.inc): quality panel, presets,
// encoders and the probe's descriptions.
namespace corvane::text {
inline constexpr int kMsgEnterQualityName = 107;
inline constexpr int kMsgConfigFileFailed = 108;
inline constexpr int kMsgPresetFileBackedUp = 21090;
// A source that is a FIFO, a device or a socket rather than a file.
inline constexpr int kNotARegularFile = 21091;
inline constexpr int kMsgConfirmRemove = 109;
inline constexpr int kMsgConfirmReset = 110;
inline constexpr int kMsgSelectQualityItem = 111;
inline constexpr int kMsgResetDone = 112;
inline constexpr int kLabelQuality = 138;
inline constexpr int kLabelAudioCodec = 139;
inline constexpr int kLabelQualityMusepack = 142;
inline constexpr int kMsgNoWmaVbrQuality = 158;
inline constexpr int kMsgNoBitrate = 159;
inline constexpr int kMsgSaveDone = 180;
inline constexpr int kMsgMp3CodecFailed = 181;
inline constexpr int kMsgUnsupportedCombination = 183;
inline constexpr int kMsgQualityExists = 197;
inline constexpr int kMsgNoBitrateToSave = 230;
inline constexpr int kLoadingQualities = 368;

inline constexpr int kMp3VbrQualityEntry = 21000;
inline constexpr int kBestSuffix = 21001;
inline constexpr int kWorstSuffix = 21002;
inline constexpr int kMusepackPresetEntry = 21003;
inline constexpr int kWmaLossless = 21004;
inline constexpr int kWmaVbrQuality = 21005;
inline constexpr int kMono = 21006;
inline constexpr int kStereo = 21007;
inline constexpr int kSaveAsCaption = 21008;
inline constexpr int kSaveAsPrompt = 21009;
inline constexpr int kConvertPanelTitle = 21010;
inline constexpr int kRipPanelTitle = 21011;
inline constexpr int kLabelFormat = 21012;
inline constexpr int kLabelSampleRate = 21013;
inline constexpr int kUnitHz = 21014;
inline constexpr int kLabelBitrate = 21015;
inline constexpr int kUnitKbps = 21016;
inline constexpr int kRadio8Bits = 21017;
inline constexpr int kRadio16Bits = 21018;
inline constexpr int kCheckEnableVbr = 21019;
inline constexpr int kCheckKeepTags = 21020;
inline constexpr int kButtonQualityMgmt = 21021;
inline constexpr int kCheckNormalize = 21022;
inline constexpr int kMenuQualityManagement = 21023;
inline constexpr int kMenuSave = 21024;
inline constexpr int kMenuSaveAs = 21025;
inline constexpr int kMenuRemove = 21026;
inline constexpr int kMenuResetAll = 21027;

// Encoder back-ends.
inline constexpr int kMsgEncoderStartFailed = 140;
inline constexpr int kMsgEncodingError = 141;
inline constexpr int kMsgConversionInitCode = 203;
inline constexpr int kStatusOutput = 224;  // "Output - " (a shell row, shared with the status bar)
inline constexpr int kMsgUnableToLoadData = 236;
inline constexpr int kStopConversionQuestion = 238;  // asked when the user stops one file
inline constexpr int kMsgConversionInitFailed = 253;
inline constexpr int kAskStopRipping = 338;

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
inline constexpr int kVbrMark = 21508;               // "VBR"
inline constexpr int kVbriMark = 21509;              // "VBRI"
inline constexpr int kReplayGainNotWritten = 26200;  // output
// The settings dialogs' ReplayGain choice: its label and three entries in ReplayGainMode's order.
inline constexpr int kReplayGainLabel = 26230;
inline constexpr int kReplayGainOffEntry = 26231;
// The converter settings' normalisation group: heading, the two radios, the two fields' labels.
inline constexpr int kNormalizationGroup = 26234;
inline constexpr int kNormalizePeakRadio = 26235;
inline constexpr int kNormalizeLoudnessRadio = 26236;
inline constexpr int kLoudnessTargetLabel = 26237;
inline constexpr int kTruePeakCeilingLabel = 26238;

// Why a picture is left out of an output (the file's detail line).
inline constexpr int kPictureTooLarge = 26300;
inline constexpr int kPictureDamaged = 26301;
inline constexpr int kPictureNotAnImage = 26302;
inline constexpr int kPictureNotWritten = 26303;

}  // namespace corvane::text
