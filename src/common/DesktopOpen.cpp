#include "common/DesktopOpen.h"

#include "common/StringTable.h"
#include "common/UserInterface.h"

namespace corvane {
namespace {
constexpr int kNoOpener = 20050;  // "Could not open '%s': ..."
}

bool OpenOnDesktop(IUserInterface& ui, const QString& path) {
  if (ui.OpenWithDesktop(path)) return true;
  ui.ShowMessage(StringTable::Format(kNoOpener, {path}), MessageIcon::Warning, MessageButtons::Ok);
  return false;
}

}  // namespace corvane
