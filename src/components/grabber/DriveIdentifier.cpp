#include "components/grabber/DriveIdentifier.h"

#include <cdio/cdio.h>
#include <cdio/device.h>

#include <QFileInfo>
#include <QStringList>

#include "common/CdioHandle.h"

namespace corvane {

QString DriveIdentifier(const QString& devicePath) {
  // A regular file is a disc image; the drive drivers would take it for a device.
  if (devicePath.isEmpty() || QFileInfo(devicePath).isFile()) return {};
  const CdioHandle cdio = OpenCdioDevice(devicePath);
  cdio_hwinfo_t info{};
  if (!cdio || !cdio_get_hwinfo(cdio.get(), &info)) return {};
  QStringList parts;
  for (const char* part : {info.psz_vendor, info.psz_model, info.psz_revision}) {
    const QString text = QString::fromLatin1(part).trimmed();
    if (!text.isEmpty()) parts << text;
  }
  return parts.join(QLatin1Char(' '));
}

}  // namespace corvane
