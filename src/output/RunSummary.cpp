#include "output/RunSummary.h"

#include "common/StringTable.h"
#include "common/strings/ConverterText.h"

namespace corvane {

QString StatusWord(FileResult result) {
  switch (result) {
    case FileResult::Converted:
      return StringTable::Text(text::kStatusCompleted);
    case FileResult::Failed:
      return StringTable::Text(text::kStatusFailed);
    case FileResult::Skipped:
      return StringTable::Text(text::kStatusSkipped);
    case FileResult::Cancelled:
    case FileResult::StopAll:
      break;
  }
  return StringTable::Text(text::kStatusCancelled);
}

QString FailedStatus(const QString& reason) {
  const QString failed = StringTable::Text(text::kStatusFailed);
  return reason.isEmpty() ? failed : failed + QStringLiteral(" (") + reason + QLatin1Char(')');
}

QString RunSummary(int succeeded, const QStringList& failed, bool sameFolder, const QString& outputFolder,
                   int cancelled) {
  const int failures = static_cast<int>(failed.size());
  const int total = succeeded + failures;
  QString summary = sameFolder
                        ? StringTable::Format(text::kSummarySameFolder, {total, succeeded, failures})
                        : StringTable::Format(text::kSummaryToFolder, {total, succeeded, failures, outputFolder});
  if (cancelled > 0) summary += StringTable::Format(text::kSummaryCancelled, {cancelled});
  if (failures > 0) {
    summary += StringTable::Text(text::kFailedListHeading);
    for (const QString& path : failed) summary += path + QLatin1Char('\n');
  }
  return summary;
}

}  // namespace corvane
