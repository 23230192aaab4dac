#pragma once
#include <stdexcept>
#include <string>

#include "common/Result.h"

namespace corvane {

// Failure codes of the conversion component. GetLastError reports them, and every failing call
// returns a ConverterResult carrying one of them.
enum class ConverterErrorCode : int {
  Ok = 0,
  NotConfigured = 1,      // no set-up was made for the output kind asked for
  UnsupportedFormat = 2,  // the encoder refuses the rate, bitrate, channel or sample-size choice
  InvalidInput = 3,       // the input format is missing or cannot feed the configured output
  OutputOpen = 4,         // the output file cannot be created
  EncoderStart = 5,       // the encoder could not be started
  WriteFailed = 6,        // writing or finishing the output failed (disk full, ...)
  NotOpen = 7,            // samples were written while no output was open
};

// What a call of the conversion component that can fail returns: the code, and for a failure
// its reason in the encoder's words ("cannot write the MP3 file: No space left on device").
using ConverterResult = Result<ConverterErrorCode>;

// The error the component's file encoders raise inside the component; the component's calls
// turn it into their ConverterResult. The code says what failed.
class ConverterError : public std::runtime_error {
 public:
  ConverterError(ConverterErrorCode code, const std::string& what) : std::runtime_error(what), code_(code) {}
  ConverterErrorCode Code() const { return code_; }

 private:
  ConverterErrorCode code_;
};

}  // namespace corvane
