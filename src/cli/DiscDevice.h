#pragma once
#include <QString>

namespace corvane {
class IAudioCDGrabber;
}

namespace corvane::cli {

// Makes the drive `device` names, or the disc image at that path, the grabber's current drive.
// Empty when done, else the reason it could not be.
QString ChooseDevice(IAudioCDGrabber& grabber, const QString& device);

}  // namespace corvane::cli
