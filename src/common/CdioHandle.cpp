#include "common/CdioHandle.h"

#include <cdio/logging.h>

#include <QFile>
#include <mutex>

namespace corvane {
namespace {

// libcdio reports every oddity of a drive on standard error; the grabber and the CD stream turn
// the failures that matter into results, so only libcdio's own errors are let through.
void QuietLog(cdio_log_level_t level, const char* message) {
  if (level >= CDIO_LOG_ERROR) cdio_default_log_handler(level, message);
}

void InstallQuietLog() {
  static std::once_flag once;
  std::call_once(once, [] { cdio_log_set_handler(QuietLog); });
}

}  // namespace

CdioHandle OpenCdioDevice(const QString& device) {
  InstallQuietLog();
  return CdioHandle(cdio_open(QFile::encodeName(device).constData(), DRIVER_DEVICE));
}

}  // namespace corvane
