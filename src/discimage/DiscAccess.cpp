#include "discimage/DiscAccess.h"

#include <QFileInfo>

#include "common/CdioHandle.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "discimage/CdioDiscAccess.h"

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
  return DiscOpenResult::Failure(DiscOpenCode::Unopenable, StringTable::Format(text::kDiscImageRefused, {path, reason}));
}

DiscOpenResult OpenDisc(const QString& path) {
  if (QFileInfo(path).isFile()) {
    CdioHandle image = OpenCdioImage(path);
    if (!image) return RefusedImage(path, StringTable::Text(text::kImageNotReadable));
    return DiscOpenResult::Success(std::make_unique<CdioDiscAccess>(std::move(image), true));
  }
  CdioHandle drive = OpenCdioDevice(path);
  if (!drive)
    return DiscOpenResult::Failure(DiscOpenCode::Unopenable, StringTable::Format(text::kDriveUnopenable, {path}));
  return DiscOpenResult::Success(std::make_unique<CdioDiscAccess>(std::move(drive), false));
}

}  // namespace corvane
