#include "ripper/DiscReading.h"

#include <QDir>
#include <QFileInfo>

namespace corvane {
namespace {

QString TrimmedEnd(QString text) {
  while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
  return text;
}

}  // namespace

std::vector<DriveChoice> ReadDriveEntries(IAudioCDGrabber& grabber) {
  std::vector<DriveChoice> entries;
  const int count = grabber.GetDriveCount();
  for (int drive = 1; drive <= count; ++drive) {
    if (grabber.SetCurrentDrive(drive).Failed()) continue;
    QString entry = QStringLiteral("[") + grabber.GetDriveId() + QStringLiteral("]");
    entry = TrimmedEnd(entry + QStringLiteral(" ") + grabber.GetDriveText1());
    entry = TrimmedEnd(entry + QStringLiteral(" ") + grabber.GetDriveText2());
    const bool image = grabber.IsDiscImage();
    const QString identifier =
        image ? QString() : (grabber.GetDriveText1().trimmed() + u' ' + grabber.GetDriveText2().trimmed()).trimmed();
    entries.push_back({entry, grabber.GetDrivePath(), image, identifier});
  }
  // Two images of one name (every rip's "disc.cue") are told apart by their folders.
  QStringList texts;
  for (const DriveChoice& choice : entries) texts << choice.text;
  for (DriveChoice& choice : entries) {
    if (choice.image && texts.count(choice.text) > 1)
      choice.text += QStringLiteral(" (%1)").arg(QDir::toNativeSeparators(QFileInfo(choice.path).absolutePath()));
  }
  return entries;
}

DiscReading ReadDisc(IAudioCDGrabber& grabber) {
  DiscReading reading;
  reading.status = grabber.RefreshDisc();
  if (reading.status.Failed()) return reading;
  reading.state = grabber.GetDiscState();
  if (reading.state == DiscState::None) return reading;
  reading.sessions = grabber.GetSessionCount();
  reading.media_type = grabber.GetMediaType();
  reading.disc_id = grabber.GetDiscId();
  reading.cd_text = grabber.GetCdText();
  for (int session = 0; session < reading.sessions; ++session) {
    reading.status = grabber.SetCurrentSession(session);
    if (reading.status.Failed()) return reading;
    const int count = grabber.GetTrackCount();
    for (int track = 0; track < count; ++track) {
      reading.status = grabber.SetCurrentTrack(track);
      if (reading.status.Failed()) return reading;
      reading.tracks.push_back({grabber.GetTrackType(), grabber.GetTrackMinutes(), grabber.GetTrackSeconds(),
                                grabber.GetTrackSectors(), grabber.GetSectorBytes()});
    }
  }
  return reading;
}

bool AddressRow(IAudioCDGrabber& grabber, int row) {
  if (row < 0) return false;
  const int sessions = grabber.GetSessionCount();
  for (int session = 0; session < sessions; ++session) {
    if (grabber.SetCurrentSession(session).Failed()) return false;
    const int count = grabber.GetTrackCount();
    if (row < count) return grabber.SetCurrentTrack(row).Succeeded();
    row -= count;
  }
  return false;
}

}  // namespace corvane
