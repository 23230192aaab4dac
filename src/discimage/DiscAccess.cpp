#include "discimage/DiscAccess.h"

#include <sys/stat.h>

#include <QFile>

#include "common/CdioHandle.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "discimage/CdioDiscAccess.h"
#include "discimage/DiscImage.h"
#include "discimage/DiscImageReader.h"
#include "discimage/ImageFileProbe.h"

namespace corvane {

const DiscTable::Track* DiscTable::TrackAt(int lsn) const {
  for (size_t i = tracks.size(); i-- > 0;)
    if (tracks[i].lsn <= lsn) return lsn < EndOf(i) ? &tracks[i] : nullptr;
  return nullptr;
}

int DiscTable::EndOf(size_t index) const { return index + 1 < tracks.size() ? tracks[index + 1].lsn : leadout_lsn; }

qint64 DiscTable::EndFrame() const {
  return end_frame >= 0 ? end_frame : static_cast<qint64>(leadout_lsn) * kSectorFrames;
}

DiscOpenResult RefusedImage(const QString& path, const QString& reason) {
  return DiscOpenResult::Failure(DiscOpenCode::Unopenable,
                                 StringTable::Format(text::kDiscImageRefused, {path, reason}));
}

DiscOpenResult OpenDisc(const QString& path) {
  // A drive is a device node; anything else is taken for an image, whose reader refuses what is
  // not a regular file without opening it.
  struct stat status {};
  const bool device =
      ::stat(QFile::encodeName(path).constData(), &status) == 0 && (S_ISBLK(status.st_mode) || S_ISCHR(status.st_mode));
  if (!device) {
    ImageLayoutResult layout = ReadDiscImageLayout(path, ProbeImageFile);
    if (!layout.Succeeded()) return RefusedImage(path, layout.status.text);
    return DiscOpenResult::Success(std::make_unique<DiscImage>(std::move(*layout.value)));
  }
  CdioHandle drive = OpenCdioDevice(path);
  if (!drive)
    return DiscOpenResult::Failure(DiscOpenCode::Unopenable, StringTable::Format(text::kDriveUnopenable, {path}));
  return DiscOpenResult::Success(std::make_unique<CdioDiscAccess>(std::move(drive)));
}

}  // namespace corvane
