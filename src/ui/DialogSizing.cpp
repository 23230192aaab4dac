#include "ui/DialogSizing.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace corvane {
namespace {

// What a window frame takes from the title bar's width: the window icon and three buttons.
constexpr int kTitleBarAllowance = 160;
// Characters of room a path field keeps beside its text for the cursor and margins.
constexpr int kFieldSpareChars = 3;

}  // namespace

void SizeDialogToContent(QWidget& dialog, int minimumChars) {
  if (dialog.layout() != nullptr) dialog.layout()->activate();
  const QFontMetrics metrics(dialog.font());
  const int title = metrics.horizontalAdvance(dialog.windowTitle()) + kTitleBarAllowance;
  int width = std::max({dialog.sizeHint().width(), minimumChars * metrics.averageCharWidth(), title});
  int height = dialog.heightForWidth(width);
  if (height < 0) height = dialog.sizeHint().height();
  height = std::max(height, dialog.minimumSizeHint().height());
  if (const QScreen* screen = dialog.screen()) {
    const QSize room = screen->availableGeometry().size() * 9 / 10;
    width = std::min(width, std::max(room.width(), dialog.minimumSizeHint().width()));
    height = std::min(height, std::max(room.height(), dialog.minimumSizeHint().height()));
  }
  dialog.setMinimumWidth(std::min(width, std::max(title, dialog.minimumSizeHint().width())));
  dialog.resize(width, height);
}

void WidenForPath(QLineEdit& field, int minimumChars, int maximumChars) {
  const QFontMetrics metrics(field.font());
  const int text = metrics.horizontalAdvance(field.text()) + kFieldSpareChars * metrics.averageCharWidth();
  field.setMinimumWidth(
      std::clamp(text, minimumChars * metrics.averageCharWidth(), maximumChars * metrics.averageCharWidth()));
}

}  // namespace corvane
