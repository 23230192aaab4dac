#pragma once
#include <stdexcept>
#include <string>

namespace corvane {

// Failure codes of the conversion component. GetLastError reports them, and every failing call
// raises a ConverterError carrying one of them.
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

// The error a failing call of the conversion component raises; the code says what failed.
class ConverterError : public std::runtime_error {
 public:
  ConverterError(ConverterErrorCode code, const std::string& what) : std::runtime_error(what), code_(code) {}
  ConverterErrorCode Code() const { return code_; }
  int NumericCode() const { return static_cast<int>(code_); }

 private:
  ConverterErrorCode code_;
};

}  // namespace corvane
