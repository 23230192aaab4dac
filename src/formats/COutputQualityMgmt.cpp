#include "formats/COutputQualityMgmt.h"

namespace corvane {

bool COutputQualityMgmt::Load(const QString& /*path*/, IUserInterface& /*ui*/) { return true; }

}  // namespace corvane
