#include "formats/QualityPanelState.h"

namespace corvane {

QString ComboBoxState::SelectedOrFirstText() const {
  if (HasValidSelection()) return items.at(selected);
  return items.isEmpty() ? QString() : items.first();
}

bool ComboBoxState::SelectText(const QString& text) {
  // An exact entry wins over a longer one that merely begins with the text ("32" must not pick
  // "320" just because it stands higher in the box).
  selected = -1;
  for (int row = 0; row < items.size(); ++row) {
    if (items.at(row).compare(text, Qt::CaseInsensitive) == 0) {
      selected = row;
      return true;
    }
  }
  for (int row = 0; row < items.size(); ++row) {
    if (items.at(row).startsWith(text, Qt::CaseInsensitive)) {
      selected = row;
      return true;
    }
  }
  return false;
}

}  // namespace corvane
