#pragma once
#include <QString>
#include <QStringList>

#include "converter/HandOffMode.h"

namespace corvane {

class ConversionList;
class IProgressWindow;
struct LoadFolderChoice;

// What an adding route did.
struct LoadResult {
  int added = 0;           // rows the route added (duplicates and refused files not counted)
  bool cancelled = false;  // the user stopped it (rows added before stay)
};

// The routes that add rows to the conversion list: chosen files, a folder from "Convert Entire
// Folder(s)", dropped paths and the hand-off at start. Each shows a progress window that can be
// cancelled; rows added before a cancel stay.
class ConversionListLoader {
 public:
  explicit ConversionListLoader(ConversionList& list) : list_(list) {}

  // The files chosen in the add-files dialog.
  LoadResult AddFiles(const QStringList& paths);
  // Paths dropped on the page: folders become folder rows with the stored choice, not scanned.
  LoadResult Drop(const QStringList& paths);
  // The folder dialog closed with OK: a folder row ("Add") or its files ("Add as Files").
  // `skipFolder` (the output folder) is left out of the search.
  LoadResult AddFolder(const LoadFolderChoice& choice, const QString& skipFolder = {});
  // The launch request: one file (mode 1) or a hand-off list file (modes 2 and 3; mode 3
  // deletes the list file afterwards).
  LoadResult HandOff(HandOffMode mode, const QString& path);

 private:
  // Adds `paths` one after another, shown in `window` (when there is one) numbered out of `total`.
  LoadResult LoadEach(const QStringList& paths, int total, IProgressWindow* window);
  LoadResult AddFolderRow(const LoadFolderChoice& choice, const QString& skipFolder);
  LoadResult AddFolderFiles(const LoadFolderChoice& choice, const QString& skipFolder);
  // Selects and focuses the row of the last AddPath (the last row when it failed).
  void FocusLast(int lastResult);

  ConversionList& list_;
};

}  // namespace corvane
