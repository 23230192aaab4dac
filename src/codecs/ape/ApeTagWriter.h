#pragma once
// Writes the simple set of texts as an APEv2 tag at the end of a Monkey's Audio file.

#include "codecs/ape/ApeTypes.h"

namespace corvane::ape {

// UTF-8 texts; null or empty ones are not written.
struct SimpleTag {
  const char* artist = nullptr;
  const char* album = nullptr;
  const char* title = nullptr;
  const char* comment = nullptr;
  const char* genre = nullptr;
  const char* year = nullptr;
  const char* track = nullptr;
};

class ApeTagWriter {
 public:
  static ApeResult Write(const char* utf8Path, const SimpleTag& tag, bool clearFirst);
};

}  // namespace corvane::ape
