// Reads arbitrary bytes as a cdrdao table, its data files made up from their names; every
// layout it accepts must keep the promises of FuzzLayout.h.
#include "FuzzLayout.h"
#include "discimage/TocFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  corvane::fuzz::CheckLayout(
      corvane::ReadTocFile(input, QStringLiteral("/nonexistent/corvane-fuzz"), corvane::fuzz::FakeFacts));
  return 0;
}
