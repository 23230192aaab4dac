#include "discimage/TocFile.h"

#include "common/strings/DiscImageText.h"
#include "discimage/TocReader.h"

namespace corvane {

ImageLayoutResult ReadTocFile(const QByteArray& toc, const QString& folder, const ImageFileProbe& probe) {
  int bad_line = 0;
  const auto tokens = SplitTocTokens(toc, bad_line);
  if (!tokens) return RefuseImage(text::kTocUnterminated, {bad_line});
  return TocReader(*tokens, folder, probe).Read();
}

}  // namespace corvane
