#pragma once
#include <QString>
#include <optional>

#include "common/UserInterface.h"

namespace corvane {

class SettingsStore;

// What the end of a conversion or rip run reports.
struct RunCompletion {
  QString summary;
  int failed_count = 0;
  QString folder;  // where the outputs went
  // False when the outputs went beside their sources: "Open Folder" is not offered and no folder
  // is opened.
  bool folder_openable = true;
  QString heading;  // empty: "Convert completed successfully!"
};

// Whether the output folder is opened after a run: the Completed window's "Open Folder" asks for
// it; a window closed with OK, or no window at all, has not asked, and "Auto Open Folder" decides.
bool OpensOutputFolder(const std::optional<CompletionReply>& reply, bool autoOpenFolder);

// Ends a run: shows the Completed window when "Show Success" of `section` is set (its
// "Don't show" box clears that value), then opens the output folder when OpensOutputFolder says so.
void CompleteRun(IUserInterface& ui, SettingsStore& settings, const char* section, const RunCompletion& run);

}  // namespace corvane
