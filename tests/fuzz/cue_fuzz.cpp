// Reads arbitrary bytes as a cue sheet, its data files made up from their names; every
// layout it accepts must keep the promises of FuzzLayout.h.
#include "FuzzLayout.h"
#include "discimage/CueSheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  corvane::fuzz::CheckLayout(
      corvane::ReadCueSheet(input, QStringLiteral("/nonexistent/corvane-fuzz"), corvane::fuzz::FakeFacts));
  return 0;
}
