#pragma once
#include <QString>
#include <QStringList>

namespace corvane {

// How one file of a run ended (Converted is the success of a Result<FileResult>).
enum class FileResult : int { Converted = 0, Failed = 1, Cancelled = 2, Skipped = 3, StopAll = 4 };

// The list's status word for a file that ended with `result`: "Completed", "Failed", "Skipped",
// or "Cancelled" (also when the whole run was stopped).
QString StatusWord(FileResult result);
// "Failed", with the reason in brackets when there is one.
QString FailedStatus(const QString& reason);
// The text shown when a run ends: the counts, where the outputs went (unless beside their
// sources), the number cancelled when there were any, and the list of the files that failed.
QString RunSummary(int succeeded, const QStringList& failed, bool sameFolder, const QString& outputFolder,
                   int cancelled = 0);

}  // namespace corvane
