#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace corvane {

// One entry of the grabber's drive list: a machine's drive or a disc image file.
struct DriveEntry {
  QString path;
  bool image = false;
  QString id;     // device name, or the image's file name
  QString text1;  // vendor and model, or "Disc image"
  QString text2;  // revision; empty for an image
};

struct DriveListing {
  std::vector<DriveEntry> drives;
  QStringList rejected_images;    // missing, or not accepted by any image reader
  QStringList rejection_reasons;  // for each, why (empty for a missing file)
};

// The machine's drives (each opened once to ask for its vendor, model and revision), then the
// images of `images` that open as discs, in the order given, each once.
DriveListing ListDrives(const QStringList& images);

}  // namespace corvane
