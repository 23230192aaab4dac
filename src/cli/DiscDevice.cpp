#include "cli/DiscDevice.h"

#include <QFileInfo>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"

namespace corvane::cli {

QString ChooseDevice(IAudioCDGrabber& grabber, const QString& device) {
  const QFileInfo info(device);
  const bool image = info.isFile();
  if (image) grabber.SetDiscImages({info.absoluteFilePath()});
  if (grabber.InitDevices().Failed() && !image) return StringTable::Format(text::kDriveUnopenable, {device});
  if (image && !grabber.GetRejectedDiscImages().isEmpty()) {
    const QString reason = grabber.GetRejectionReasons().value(0);
    return reason.isEmpty() ? StringTable::Format(text::kDiscImageUnreadable, {device}) : reason;
  }
  const QString wanted = image ? info.absoluteFilePath() : device;
  for (int drive = grabber.GetDriveCount(); drive >= 1; --drive) {
    if (grabber.SetCurrentDrive(drive).Succeeded() && grabber.GetDrivePath() == wanted) return {};
  }
  return StringTable::Format(text::kDriveUnopenable, {device});
}

}  // namespace corvane::cli
