#pragma once
#include <QString>
#include <memory>

#include "components/IFileEncoder.h"

namespace corvane {

class WmaEncoder;

// A WMA output of the conversion component, written by the engine's WMA encoder (constant
// bitrate in an ASF file). Finish completes the file; an output dropped unfinished stays as it is
// for its owner to remove.
class WmaFileEncoder final : public IFileEncoder {
 public:
  // Whether the encoder takes this rate, channel count and bitrate (kbps).
  static bool Accepts(int sampleRate, int channels, int bitrateKbps);

  WmaFileEncoder(const QString& path, int sampleRate, int channels, int bitrateKbps);
  ~WmaFileEncoder() override;
  WmaFileEncoder(const WmaFileEncoder&) = delete;
  WmaFileEncoder& operator=(const WmaFileEncoder&) = delete;

  void Write(std::span<const std::int16_t> samples) override;
  void Finish() override;

 private:
  std::unique_ptr<WmaEncoder> encoder_;
};

}  // namespace corvane
