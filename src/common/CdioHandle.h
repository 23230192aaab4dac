#pragma once
#include <cdio/cdio.h>

#include <QString>
#include <memory>

namespace corvane {

struct CdioCloser {
  void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};
// An open libcdio device.
using CdioHandle = std::unique_ptr<CdIo_t, CdioCloser>;

// Opens a machine's drive; empty when it cannot. Disc images never go through libcdio: they are
// read by our own readers (src/discimage).
CdioHandle OpenCdioDevice(const QString& device);

}  // namespace corvane
