#pragma once
#include <QString>
#include <optional>
#include <vector>

#include "components/IFileEncoder.h"

struct sf_private_tag;

namespace corvane {

// Sample encodings libsndfile writes for us.
enum class SndFileKind {
  WavPcm8,
  WavPcm16,
  WavMsAdpcm,
  WavALaw,
  WavULaw,
  VoxAdpcm,  // Dialogic ADPCM, headerless, mono only
};

// A WAV or VOX output written by libsndfile into a file opened here. A WAV output that would pass
// 4 GiB fails rather than wrap its header's sizes.
class SndFileEncoder final : public IFileEncoder {
 public:
  // Whether libsndfile writes this encoding at this rate and channel count.
  static bool Accepts(SndFileKind kind, int sampleRate, int channels);

  SndFileEncoder(const QString& path, SndFileKind kind, int sampleRate, int channels);
  ~SndFileEncoder() override;
  SndFileEncoder(const SndFileEncoder&) = delete;
  SndFileEncoder& operator=(const SndFileEncoder&) = delete;

  void Write(std::span<const std::int16_t> samples) override;
  void Finish() override;

 private:
  void WriteFrames(const std::int16_t* samples, std::int64_t frames);

  sf_private_tag* file_ = nullptr;
  int fd_ = -1;
  int channels_;
  // Dialogic ADPCM packs two samples into a byte and libsndfile takes only whole bytes per call:
  // an odd sample waits here for the next block (or is completed at the end).
  bool pairs_only_ = false;
  std::optional<std::int16_t> carried_;
  std::vector<std::int16_t> joined_;
  bool limited_ = false;
};

}  // namespace corvane
