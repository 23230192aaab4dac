#pragma once
#include <QString>
#include <optional>
#include <vector>

namespace corvane::cli {

// A list of track numbers as typed: numbers and ranges joined by commas ("1-3,5"), each from 1
// to 99. The numbers in ascending order, each once; nullopt when the text is not such a list.
std::optional<std::vector<int>> ParseTrackList(const QString& text);

}  // namespace corvane::cli
