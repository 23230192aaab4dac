#pragma once
#include <cdio/cdio.h>

#include <QString>
#include <memory>

namespace corvane {

struct CdioCloser {
  void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};
// An open libcdio device or disc image.
using CdioHandle = std::unique_ptr<CdIo_t, CdioCloser>;

// Opens a machine's drive; empty when it cannot.
CdioHandle OpenCdioDevice(const QString& device);
// Opens a disc image through the driver its content calls for (.cue and .bin, cdrdao .toc, NRG);
// empty for a missing file or one no image driver accepts. A plain file never reaches the
// drive drivers, which would take it for a device.
CdioHandle OpenCdioImage(const QString& path);

}  // namespace corvane
