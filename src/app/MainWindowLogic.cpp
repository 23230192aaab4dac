#include "app/MainWindowLogic.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ShellText.h"

namespace corvane {
namespace {
constexpr int kPlacementAbsent = -999;
}

int MainWindowLogic::ChooseFirstPage(const QString& launchSource) {
  int first = static_cast<int>(Page::Convert);
  if (launchSource.isEmpty()) {
    first = settings_.ReadNumber(keys::section::kConvert, keys::kInitialPanel, -1);
    if (first == -1) {
      first = static_cast<int>(Page::Ripper);
      settings_.WriteNumber(keys::section::kConvert, keys::kInitialPanel, first);
    }
  }
  pending_switch_ = true;
  cycle_position_ = first;
  SwitchPage(first);
  return first;
}

void MainWindowLogic::SwitchPage(int n) {
  if (n >= 1 && n <= 3) {
    host_.ShowPage(n);
    button_states_ = {n == 1 ? 1 : 0, n == 2 ? 1 : 0, n == 3 ? 1 : 0};
  } else {
    n = static_cast<int>(Page::Ripper);
  }
  settings_.WriteNumber(keys::section::kConvert, keys::kInitialPanel, n);
  host_.SetButtonStates(button_states_);
}

void MainWindowLogic::CyclePage() {
  if (cycle_position_ < 1 || cycle_position_ > 3) return;
  cycle_position_ = cycle_position_ % 3 + 1;
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
