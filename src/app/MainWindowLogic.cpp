#include "app/MainWindowLogic.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ShellText.h"

namespace corvane {
namespace {
constexpr int kPlacementAbsent = -999;

bool IsPage(Page page) { return page == Page::Convert || page == Page::Ripper || page == Page::About; }
}  // namespace

Page MainWindowLogic::ChooseFirstPage(const QString& launchSource) {
  Page first = Page::Convert;
  if (launchSource.isEmpty()) {
    const int stored = settings_.ReadNumber(keys::section::kConvert, keys::kInitialPanel, -1);
    first = stored == -1 ? Page::Ripper : static_cast<Page>(stored);
    if (stored == -1) settings_.WriteNumber(keys::section::kConvert, keys::kInitialPanel, static_cast<int>(first));
  }
  pending_switch_ = true;
  cycle_position_ = first;
  SwitchPage(first);
  return first;
}

void MainWindowLogic::SwitchPage(Page page) {
  if (IsPage(page)) {
    host_.ShowPage(page);
    button_states_ = {page == Page::Convert ? 1 : 0, page == Page::Ripper ? 1 : 0, page == Page::About ? 1 : 0};
  } else {
    page = Page::Ripper;
  }
  settings_.WriteNumber(keys::section::kConvert, keys::kInitialPanel, static_cast<int>(page));
  host_.SetButtonStates(button_states_);
}

void MainWindowLogic::CyclePage() {
  if (!IsPage(cycle_position_)) return;
  cycle_position_ = cycle_position_ == Page::Convert  ? Page::Ripper
                    : cycle_position_ == Page::Ripper ? Page::About
                                                      : Page::Convert;
  SwitchPage(cycle_position_);
}

void MainWindowLogic::OnPaint() {
  if (!pending_switch_) return;
  pending_switch_ = false;
  SwitchPage(cycle_position_);
}

std::optional<QRect> MainWindowLogic::StoredPlacement() const {
  const char* s = keys::section::kConvert;
  const int x = settings_.ReadNumber(s, keys::kInitialPosX, kPlacementAbsent);
  const int y = settings_.ReadNumber(s, keys::kInitialPosY, kPlacementAbsent);
  const int width = settings_.ReadNumber(s, keys::kInitialWidth, kPlacementAbsent);
  const int height = settings_.ReadNumber(s, keys::kInitialHeight, kPlacementAbsent);
  if (x == kPlacementAbsent || y == kPlacementAbsent || width == kPlacementAbsent || height == kPlacementAbsent) {
    return std::nullopt;
  }
  return QRect(x, y, width, height);
}

void MainWindowLogic::SavePlacement(const QRect& frame) {
  const char* s = keys::section::kConvert;
  settings_.WriteNumber(s, keys::kInitialPosX, frame.x());
  settings_.WriteNumber(s, keys::kInitialPosY, frame.y());
  settings_.WriteNumber(s, keys::kInitialWidth, frame.width());
  settings_.WriteNumber(s, keys::kInitialHeight, frame.height());
}

bool MainWindowLogic::RequestClose(const QRect& frame, bool converterRunning, bool ripperRunning, IUserInterface& ui) {
  SavePlacement(frame);
  if (!converterRunning && !ripperRunning) return true;
  ui.ShowMessage(StringTable::Format(text::kCannotExitWhileRunning, {StringTable::Text(text::kProductName)}),
                 MessageIcon::None, MessageButtons::Ok);
  return false;
}

}  // namespace corvane
