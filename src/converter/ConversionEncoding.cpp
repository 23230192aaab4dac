#include "converter/ConversionEncoding.h"

#include "common/StringTable.h"

namespace corvane {

int EncodeFile(const FileEncodeJob& /*job*/, QString& error) {
  // The encoder back-ends are not wired in yet: every file fails with a plain reason.
  error = QStringLiteral("no encoder back-end");
  return 1;
}

}  // namespace corvane
