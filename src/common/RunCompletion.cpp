#include "common/RunCompletion.h"

#include "common/DesktopOpen.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/ConverterText.h"

namespace corvane {

bool OpensOutputFolder(const std::optional<CompletionReply>& reply, bool autoOpenFolder) {
  return (reply && reply->open_folder) || autoOpenFolder;
}

void CompleteRun(IUserInterface& ui, SettingsStore& settings, const char* section, const RunCompletion& run) {
  std::optional<CompletionReply> reply;
  if (settings.ReadNumber(section, keys::kShowSuccess, 1) != 0) {
    const QString heading = run.heading.isEmpty() ? StringTable::Text(text::kCompletedHeading) : run.heading;
    reply = ui.ShowCompleted(heading, run.summary, run.failed_count, run.folder_openable);
    if (reply->dont_show_again) settings.WriteNumber(section, keys::kShowSuccess, 0);
  }
  if (!run.folder_openable) return;
  const bool autoOpenFolder = settings.ReadNumber(section, keys::kAutoOpenFolder, 0) != 0;
  if (OpensOutputFolder(reply, autoOpenFolder)) OpenOnDesktop(ui, run.folder);
}

}  // namespace corvane
