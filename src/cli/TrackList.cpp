#include "cli/TrackList.h"

#include <QStringList>
#include <algorithm>

namespace corvane::cli {
namespace {

constexpr int kLastTrack = 99;

std::optional<int> Number(const QString& text) {
  // Digits only: no sign, no blanks, nothing toInt would accept besides.
  if (text.isEmpty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }))
    return std::nullopt;
  const int number = text.toInt();
  if (number < 1 || number > kLastTrack) return std::nullopt;
  return number;
}

}  // namespace

std::optional<std::vector<int>> ParseTrackList(const QString& text) {
  std::vector<int> numbers;
  for (const QString& part : text.split(QLatin1Char(','))) {
    const QStringList ends = part.trimmed().split(QLatin1Char('-'));
    if (ends.size() > 2) return std::nullopt;
    const std::optional<int> first = Number(ends.front());
    const std::optional<int> last = Number(ends.back());
    if (!first || !last || *first > *last) return std::nullopt;
    for (int number = *first; number <= *last; ++number) numbers.push_back(number);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

}  // namespace corvane::cli
