// Reads arbitrary bytes as a Nero image; every layout it accepts must keep the promises of
// FuzzLayout.h, and no chunk may make it read outside the image.
#include "FuzzLayout.h"
#include "discimage/NrgImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray image(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto read = [&image](qint64 offset, qint64 length) {
    corvane::fuzz::Require(offset >= 0 && length >= 0 && offset + length <= image.size());
    return image.mid(offset, length);
  };
  corvane::fuzz::CheckLayout(corvane::ReadNrgImage(QStringLiteral("/fuzz/image.nrg"), image.size(), read));
  return 0;
}
