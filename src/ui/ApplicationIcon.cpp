#include "ui/ApplicationIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resources live in a static library; nothing would pull them into the program otherwise.
static void InitResources() { Q_INIT_RESOURCE(corvane); }

namespace corvane {

QIcon ApplicationIcon() {
  InitResources();
  QSvgRenderer renderer(QStringLiteral(":/icons/corvane.svg"));
  QIcon icon;
  if (!renderer.isValid()) return icon;
  for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace corvane
