#pragma once
#include <QString>
#include <QStringList>

#include "common/Result.h"

namespace corvane {

class IProgressWindow;

enum class ScanFailure { None = 0, Cancelled };

// Looks for source files in `folder`: with `typeRow` 0 every file whose extension one of the
// input types knows, otherwise only files with that row's extension (letter case ignored in
// both). Sub-folders are searched when `subFolders` is set. Full paths are appended to `found`
// in name order (letter case ignored). `progress`, when given, shows each file found and can
// cancel the scan.
//
// `skipFolder` (the run's output folder) is never entered, so that a run whose outputs land
// below the scanned folder does not pick up what earlier runs wrote. Folders are compared by
// identity (their canonical paths), and a folder reached again through a symbolic link is not
// searched twice.
//
// Entries whose names are not valid UTF-8 cannot be named by a path and are not found; when
// `unreadable` is given, such files of the searched type (and such sub-folders, when sub-folders
// are searched) are appended to it, shown with replacement characters, so they can be reported.
//
// Returns the number of files found; Cancelled when the user cancelled in `progress` (what was
// found until then stays in `found`).
ValueResult<int, ScanFailure> ScanFolder(const QString& folder, int typeRow, bool subFolders, IProgressWindow* progress,
                                         QStringList& found, const QString& skipFolder = {},
                                         QStringList* unreadable = nullptr);

// True when `path`'s extension is one of the input types' extensions (letter case ignored).
bool HasKnownAudioExtension(const QString& path);

}  // namespace corvane
