#include "ui/AppIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resources live in a static library; nothing would pull them into the program otherwise.
static void InitResources() { Q_INIT_RESOURCE(corvane); }

namespace corvane {
namespace {

struct IconSource {
  const char* theme_name;  // nullptr: no freedesktop icon stands for it
  const char* resource;
};

IconSource SourceOf(AppIcon icon) {
  switch (icon) {
    case AppIcon::ConvertPage:
    case AppIcon::ConverterSettings:
      return {nullptr, ":/icons/audio-convert.svg"};
    case AppIcon::RipperPage:
    case AppIcon::RipperSettings:
      return {"media-optical-audio", ":/icons/media-optical-audio.svg"};
    case AppIcon::AboutPage:
      return {"help-about", ":/icons/help-about.svg"};
    case AppIcon::Help:
      return {"help-contents", ":/icons/help-contents.svg"};
    case AppIcon::Settings:
      return {"preferences-system", ":/icons/preferences-system.svg"};
    case AppIcon::FreedbSettings:
      return {"network-server", ":/icons/network-server.svg"};
  }
  return {nullptr, ""};
}

}  // namespace

QIcon SvgIcon(const QString& resource) {
  InitResources();
  QSvgRenderer renderer(resource);
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

QString AppIconResource(AppIcon icon) { return QString::fromLatin1(SourceOf(icon).resource); }

QIcon LoadAppIcon(AppIcon icon) {
  const IconSource source = SourceOf(icon);
  const QIcon own = SvgIcon(QString::fromLatin1(source.resource));
  if (source.theme_name == nullptr) return own;
  return QIcon::fromTheme(QString::fromLatin1(source.theme_name), own);
}

}  // namespace corvane
