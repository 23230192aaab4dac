#include "components/grabber/TypeNames.h"

#include "common/StringTable.h"
#include "common/strings/RipperText.h"

namespace corvane {

QString TrackTypeName(CdTrackType type) {
  switch (type) {
    case CdTrackType::Audio:
      return StringTable::Text(text::kTrackTypeAudio);
    case CdTrackType::Mode1:
      return StringTable::Text(text::kTrackTypeMode1);
    case CdTrackType::Mode2:
      return StringTable::Text(text::kTrackTypeMode2);
    case CdTrackType::Mode2Form1:
      return StringTable::Text(text::kTrackTypeMode2Form1);
    case CdTrackType::Mode2Form2:
      return StringTable::Text(text::kTrackTypeMode2Form2);
    default:
      return StringTable::Text(text::kUnrecognised);
  }
}

QString MediaTypeName(int mediaType) {
  const int id = text::kMediaTypeFirst + mediaType;
  return mediaType >= 0 && id <= text::kMediaTypeLast ? StringTable::Text(id) : StringTable::Text(text::kUnrecognised);
}

}  // namespace corvane
