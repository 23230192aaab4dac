#include "components/grabber/DriveList.h"

#include <cdio/cdio.h>
#include <cdio/device.h>

#include <QFileInfo>

#include "common/CdioHandle.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "discimage/DiscAccess.h"

namespace corvane {
namespace {

DriveEntry DeviceEntry(const QString& device) {
  DriveEntry entry{device, false, device, {}, {}};
  const CdioHandle cdio = OpenCdioDevice(device);
  cdio_hwinfo_t info{};
  if (cdio && cdio_get_hwinfo(cdio.get(), &info)) {
    entry.text1 =
        QStringLiteral("%1 %2")
            .arg(QString::fromLatin1(info.psz_vendor).trimmed(), QString::fromLatin1(info.psz_model).trimmed())
            .trimmed();
    entry.text2 = QString::fromLatin1(info.psz_revision).trimmed();
  }
  return entry;
}

void AddMachineDrives(std::vector<DriveEntry>& drives) {
  char** devices = cdio_get_devices(DRIVER_DEVICE);
  if (devices == nullptr) return;
  for (char** device = devices; *device != nullptr; ++device) drives.push_back(DeviceEntry(QFile::decodeName(*device)));
  cdio_free_device_list(devices);
}

}  // namespace

DriveListing ListDrives(const QStringList& images) {
  DriveListing listing;
  AddMachineDrives(listing.drives);
  QStringList seen;
  for (const QString& given : images) {
    const QString path = QFileInfo(given).absoluteFilePath();
    if (seen.contains(path)) continue;
    seen << path;
    const DiscOpenResult opened = QFileInfo::exists(path) ? OpenDisc(path) : DiscOpenResult::Failure({}, {});
    if (!opened.Succeeded()) {
      listing.rejected_images << given;
      listing.rejection_reasons << opened.status.text;
      continue;
    }
    listing.drives.push_back(
        {path, true, QFileInfo(path).fileName(), StringTable::Text(text::kDiscImageDriveText), QString()});
  }
  return listing;
}

}  // namespace corvane
