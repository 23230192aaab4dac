#include "discimage/DiscImageReader.h"

#include <QFile>
#include <QFileInfo>

#include "common/strings/DiscImageText.h"
#include "discimage/CueSheet.h"
#include "discimage/LayoutBuilder.h"
#include "discimage/NrgImage.h"
#include "discimage/TocFile.h"

namespace corvane {
namespace {

// The last bytes of a Nero image, "NER5" + 8 bytes or "NERO" + 4 bytes.
bool HasNeroFooter(QFile& file) {
  const qint64 size = file.size();
  if (size < 8 || !file.seek(std::max<qint64>(0, size - 12))) return false;
  const QByteArray tail = file.read(12);
  return (tail.size() == 12 && tail.startsWith("NER5")) || (tail.size() >= 8 && tail.mid(tail.size() - 8, 4) == "NERO");
}

}  // namespace

ImageLayoutResult ReadDiscImageLayout(const QString& path, const ImageFileProbe& probe) {
  const QFileInfo info(path);
  if (!info.exists()) return RefuseImage(text::kImageNotFound, {path});
  if (!info.isFile()) return RefuseImage(text::kImageNotRegular, {path});
  const QString extension = info.suffix().toLower();
  const bool sheet = extension == QLatin1String("cue") || extension == QLatin1String("toc");
  if (sheet && info.size() > kImageMaxSheetBytes)
    return RefuseImage(text::kImageSheetTooLarge, {path, kImageMaxSheetBytes});
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return RefuseImage(text::kImageUnreadable, {path});
  if (sheet) {
    const QByteArray text = file.read(kImageMaxSheetBytes + 1);
    if (text.size() > kImageMaxSheetBytes) return RefuseImage(text::kImageSheetTooLarge, {path, kImageMaxSheetBytes});
    const QString folder = info.absolutePath();
    return extension == QLatin1String("cue") ? ReadCueSheet(text, folder, probe) : ReadTocFile(text, folder, probe);
  }
  if (!HasNeroFooter(file)) return RefuseImage(text::kImageUnknownType, {path});
  const auto read = [&file](qint64 offset, qint64 length) {
    return file.seek(offset) ? file.read(length) : QByteArray();
  };
  return ReadNrgImage(info.absoluteFilePath(), file.size(), read);
}

}  // namespace corvane
