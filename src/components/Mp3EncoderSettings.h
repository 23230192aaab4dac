#pragma once

namespace corvane {

// The MP3 encoder settings object: plain values that the conversion component hands to LAME when
// it opens an MP3 output. Every property starts unset (-1) and a property given -1 reads back as
// -1, so that callers can tell a value never chosen from a real choice.
class Mp3EncoderSettings {
 public:
  static constexpr int kUnset = -1;

  // LAME's algorithm quality, 0 (best, slowest) .. 9 (worst, fastest).
  int EncoderQuality() const { return encoder_quality_; }
  void SetEncoderQuality(int value) { encoder_quality_ = value; }
  // Channel mode code: 1 stereo, 2 joint stereo, 3 forced joint stereo, 4 dual channel.
  int StereoMode() const { return stereo_mode_; }
  void SetStereoMode(int value) { stereo_mode_ = value; }
  // VBR method code: -1 off (constant bitrate), 0 default, 1 old, 2 new, 3 MTRH, 4 ABR.
  int VbrMethod() const { return vbr_method_; }
  void SetVbrMethod(int value) { vbr_method_ = value; }
  // VBR quality 0 (best) .. 9 (worst).
  int VbrQuality() const { return vbr_quality_; }
  void SetVbrQuality(int value) { vbr_quality_ = value; }
  // Mean bitrate of ABR, kbps.
  int VbrBitrate() const { return vbr_bitrate_; }
  void SetVbrBitrate(int value) { vbr_bitrate_ = value; }
  // 1: write the Xing/Info frame at the start of the file.
  int VbrHeader() const { return vbr_header_; }
  void SetVbrHeader(int value) { vbr_header_ = value; }
  // 1: the minimum bitrate (the set-up's Bitrate) holds even for silent frames.
  int MinBitrateEnforced() const { return min_bitrate_enforced_; }
  void SetMinBitrateEnforced(int value) { min_bitrate_enforced_ = value; }
  // Upper bitrate of VBR and ABR, kbps.
  int MaxAbrVbrBitrate() const { return max_abr_vbr_bitrate_; }
  void SetMaxAbrVbrBitrate(int value) { max_abr_vbr_bitrate_ = value; }

  // Output sample rate (Hz), constant bitrate (kbps) and channel count (1 or 2).
  int SampleRate() const { return sample_rate_; }
  void SetSampleRate(int value) { sample_rate_ = value; }
  int Bitrate() const { return bitrate_; }
  void SetBitrate(int value) { bitrate_ = value; }
  int Channels() const { return channels_; }
  void SetChannels(int value) { channels_ = value; }

 private:
  int encoder_quality_ = kUnset;
  int stereo_mode_ = kUnset;
  int vbr_method_ = kUnset;
  int vbr_quality_ = kUnset;
  int vbr_bitrate_ = kUnset;
  int vbr_header_ = kUnset;
  int min_bitrate_enforced_ = kUnset;
  int max_abr_vbr_bitrate_ = kUnset;
  int sample_rate_ = kUnset;
  int bitrate_ = kUnset;
  int channels_ = kUnset;
};

}  // namespace corvane
