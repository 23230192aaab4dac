#pragma once
#include <cdio/cdio.h>

namespace corvane {

// GetMediaType's numbers: CD-ROM, CD-R, CD-RW, DVD-ROM, DVD+R, DVD+RW, DVD-R, DVD-RW, DVD-RAM.
inline constexpr int kMediaCdRom = 0;
inline constexpr int kMediaDvdRam = 8;

// The media type for an MMC profile number (GET CONFIGURATION's current profile); CD-ROM for a
// profile outside those nine, as for a pressed disc or a drive that does not say.
int MediaTypeFromProfile(int profile);

// The media type of the disc in a drive, from the drive's current profile.
int ReadMediaType(CdIo_t* cdio);

}  // namespace corvane
