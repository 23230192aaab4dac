#pragma once
#include <ebur128.h>

#include <QtGlobal>
#include <vector>

#include "common/PcmTap.h"

namespace corvane {

// What one measurement found. Without `measured` (silence, or less than one 400 ms block above
// the gate) the figures mean nothing.
struct Loudness {
  bool measured = false;
  double integrated = 0;  // LUFS
  double range = 0;       // LU
  double true_peak = 0;   // linear, 1.0 = full scale, 4x oversampled below 96 kHz
};

// Integrated loudness, loudness range and true peak of 16-bit little-endian interleaved PCM, as
// ITU-R BS.1770 / EBU R128 define them (libebur128), fed piece by piece as the audio is written.
class LoudnessMeter final : public PcmTap {
 public:
  LoudnessMeter(int rate, int channels);
  ~LoudnessMeter() override;
  LoudnessMeter(const LoudnessMeter&) = delete;
  LoudnessMeter& operator=(const LoudnessMeter&) = delete;

  // Pieces may be of any size; one that ends inside a frame is completed by the next.
  void Consume(const char* pcm, qsizetype bytes) override;
  void Restart() override;
  void Break() override;

  // False when the meter could not be set up or was broken since the last Restart.
  bool Usable() const { return state_ != nullptr && !broken_; }
  Loudness Result() const;
  // The meters' audio taken as one programme (an album): every block of each, gated together;
  // the loudest true peak. Unusable meters are left out.
  static Loudness Together(const std::vector<const LoudnessMeter*>& meters);

 private:
  void Open();
  void Close();

  int rate_;
  int channels_;
  ebur128_state* state_ = nullptr;
  std::vector<char> partial_;  // the bytes of a frame begun in the last piece
  std::vector<qint16> frames_;
  bool broken_ = false;
};

}  // namespace corvane
