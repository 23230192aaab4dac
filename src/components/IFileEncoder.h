#pragma once
#include <cstdint>
#include <span>

namespace corvane {

// One open output file of the conversion component. Samples arrive interleaved, already in the
// output's channel count. Failures raise ConverterError.
class IFileEncoder {
 public:
  virtual ~IFileEncoder() = default;
  virtual void Write(std::span<const std::int16_t> samples) = 0;
  // Flushes the encoder and closes the file; the file is complete afterwards.
  virtual void Finish() = 0;
};

}  // namespace corvane
