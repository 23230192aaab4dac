#include "components/grabber/MediaType.h"

#include <cdio/cdio.h>
#include <cdio/mmc_hl_cmds.h>
#include <cdio/mmc_util.h>

namespace corvane {

int MediaTypeFromProfile(int profile) {
  switch (profile) {
    case CDIO_MMC_FEATURE_PROF_CD_R:
      return 1;
    case CDIO_MMC_FEATURE_PROF_CD_RW:
      return 2;
    case CDIO_MMC_FEATURE_PROF_DVD_ROM:
      return 3;
    case CDIO_MMC_FEATURE_PROF_DVD_PR:
    case CDIO_MMC_FEATURE_PROF_DVD_PR_DL:
      return 4;
    case CDIO_MMC_FEATURE_PROF_DVD_PRW:
    case CDIO_MMC_FEATURE_PROF_DVD_PRW_DL:
      return 5;
    case CDIO_MMC_FEATURE_PROF_DVD_R_SEQ:
    case CDIO_MMC_FEATURE_PROF_DVD_R_DL_SEQ:
    case CDIO_MMC_FEATURE_PROF_DVD_R_DL_JR:
      return 6;
    case CDIO_MMC_FEATURE_PROF_DVD_RW_RO:
    case CDIO_MMC_FEATURE_PROF_DVD_RW_SEQ:
      return 7;
    case CDIO_MMC_FEATURE_PROF_DVD_RAM:
      return kMediaDvdRam;
    default:
      return kMediaCdRom;
  }
}

int ReadMediaType(CdIo_t* cdio) {
  cdio_mmc_feature_profile_t profile{};
  if (mmc_get_disctype(cdio, 0, &profile) != DRIVER_OP_SUCCESS) return kMediaCdRom;
  return MediaTypeFromProfile(profile);
}

}  // namespace corvane
