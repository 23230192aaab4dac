#pragma once
#include <QString>
#include <QStringList>
#include <vector>

#include "components/IAudioCDGrabber.h"

namespace corvane {

// One drive (or disc image) as the device box lists it.
struct DriveChoice {
  QString text;  // "[id] text1 text2", trailing blanks trimmed
  QString path;  // device path or image file
  bool image = false;
  // Vendor, model and revision joined by spaces, the key of the drive's read offset; empty for
  // a disc image, which holds audio as it is on the disc.
  QString identifier;
};

// Lists the grabber's drives after InitDevices; the current drive is left at the last one.
std::vector<DriveChoice> ReadDriveEntries(IAudioCDGrabber& grabber);

// One track of the disc, in row order.
struct DiscTrack {
  CdTrackType type = CdTrackType::Unknown;
  int minutes = 0;
  int seconds = 0;
  int sectors = 0;
  int sector_bytes = 0;
};

// What a Load disc reads from the drive in one go.
struct DiscReading {
  GrabberResult status;  // RefreshDisc's, or the first failing call's
  DiscState state = DiscState::None;
  int sessions = 0;
  int media_type = 0;
  quint32 disc_id = 0;
  QStringList cd_text;
  std::vector<DiscTrack> tracks;  // sessions walked in order, tracks of each in order
};

// RefreshDisc, then the disc's state and, when a disc is present, its sessions and tracks.
DiscReading ReadDisc(IAudioCDGrabber& grabber);

// Makes row `row` (0-based across sessions) the grabber's current session and track. False when
// the disc has fewer rows or a call fails.
bool AddressRow(IAudioCDGrabber& grabber, int row);

}  // namespace corvane
