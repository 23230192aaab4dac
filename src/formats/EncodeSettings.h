#pragma once
#include "formats/OutputFormatCatalogue.h"

namespace corvane {

// The panel's choice of output, as it travels to the presets, the encoder set-up and the runs.
// Ten values in this order (the order of a preset's option fields).
struct EncodeSettings {
  FormatCode format = FormatCode::None;
  int sample_rate = 0;      // Hz
  int bitrate = 0;          // kbps, 0 when none is chosen
  int channels = 2;         // 1 mono, 2 stereo
  int bits = 16;            // 8 or 16
  int wma_quality = 0;      // WMA VBR quality 1..99, 100 lossless
  int musepack_preset = 0;  // index 0..6
  int mp3_vbr_quality = 0;  // index 0..9
  bool vbr_enabled = false;
  WavCodec wav_codec = WavCodec::Pcm;

  friend bool operator==(const EncodeSettings&, const EncodeSettings&) = default;
};

}  // namespace corvane
