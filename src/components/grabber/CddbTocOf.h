#pragma once
#include "components/freedb/CddbEntry.h"
#include "components/grabber/DiscToc.h"

namespace corvane {

// The table a CDDB query sends for a disc: every track of every session (data tracks too) as an
// absolute frame address including the 150-frame lead-in, the lead-out in whole seconds on the
// same scale, and the disc ID.
CddbToc CddbTocOf(const DiscToc& toc);

}  // namespace corvane
