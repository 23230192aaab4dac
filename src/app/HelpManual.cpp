#include "app/HelpManual.h"

#include <QDir>
#include <QFileInfo>

#include "common/DesktopOpen.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ShellText.h"

namespace corvane {

QString HelpManualPath(const QString& programFolder) {
  return QDir::cleanPath(programFolder + QStringLiteral("/../share/corvane/manual/index.html"));
}

bool OpenHelpManual(IUserInterface& ui, const QString& programFolder) {
  const QString manual = HelpManualPath(programFolder);
  if (!QFileInfo(manual).isFile()) {
    ui.ShowMessage(StringTable::Format(text::kManualMissing, {manual}), MessageIcon::Warning, MessageButtons::Ok);
    return false;
  }
  return OpenOnDesktop(ui, manual);
}

}  // namespace corvane
