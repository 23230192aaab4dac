#pragma once

namespace corvane {

// The panel's choice of output, as it travels to the presets, the encoder set-up and the runs.
// Ten numbers in this order (the order of a preset's option fields).
struct EncodeSettings {
  int format = 0;           // format code of the catalogue (MP3 1, WAV 2, OGG 3, WMA 4, FLAC 6, APE 7, MPC 8, VOX 101)
  int sample_rate = 0;      // Hz
  int bitrate = 0;          // kbps, 0 when none is chosen
  int channels = 2;         // 1 mono, 2 stereo
  int bits = 16;            // 8 or 16
  int wma_quality = 0;      // WMA VBR quality 1..99, 100 lossless
  int musepack_preset = 0;  // index 0..6
  int mp3_vbr_quality = 0;  // index 0..9
  int vbr_enabled = 0;      // 0 or 1
  int wav_codec = 0;        // index 0..3: PCM, ADPCM, A-law, u-law

  friend bool operator==(const EncodeSettings&, const EncodeSettings&) = default;
};

}  // namespace corvane
