#pragma once
#include <QString>

#include "components/IAudioCDGrabber.h"

namespace corvane {

// The names the ripper shows for a track type ("AUDIO", "DATA (Mode 1)" ...) and for a media
// type (0 "CD-ROM" to 8 "DVD-RAM"); "Unrecognized" for anything else.
QString TrackTypeName(CdTrackType type);
QString MediaTypeName(int mediaType);

}  // namespace corvane
