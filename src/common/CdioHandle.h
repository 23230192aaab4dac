#pragma once
#include <cdio/cdio.h>

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace corvane {

struct CdioCloser {
  // Files an image was opened through (see OpenCdioImage); they go with the handle.
  std::shared_ptr<QTemporaryDir> staging;
  void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};
// An open libcdio device or disc image.
using CdioHandle = std::unique_ptr<CdIo_t, CdioCloser>;

// Opens a machine's drive; empty when it cannot.
CdioHandle OpenCdioDevice(const QString& device);
// Opens a disc image through the driver its content calls for (.cue and .bin, cdrdao .toc, NRG);
// empty for a missing file or one no image driver accepts. A plain file never reaches the
// drive drivers, which would take it for a device. libcdio reads a cue sheet's data from the
// .bin of the sheet's own name; a sheet naming another file is opened through a private copy
// beside a link of that name to the file it names.
CdioHandle OpenCdioImage(const QString& path);

}  // namespace corvane
