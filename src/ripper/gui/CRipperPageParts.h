#pragma once
#include <QString>

#include "common/StringTable.h"

namespace corvane::ripper_page {

// Columns of the track list and sizes of the page's controls.
inline constexpr int kTitleColumn = 2;
inline constexpr int kLengthColumn = 3;
inline constexpr int kStatusColumn = 4;
inline constexpr int kSliderTicks = 10;
inline constexpr int kYearChars = 6;

inline QString Text(int id) { return StringTable::Text(id); }

}  // namespace corvane::ripper_page
