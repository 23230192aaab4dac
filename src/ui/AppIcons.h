#pragma once
#include <QIcon>
#include <QString>

namespace corvane {

// The pictures of the window's page buttons, the help and settings buttons and the settings
// menu's items.
enum class AppIcon {
  ConvertPage,
  RipperPage,
  AboutPage,
  Help,
  Settings,
  ConverterSettings,
  RipperSettings,
  FreedbSettings
};

// The desktop theme's icon where the picture has a freedesktop name and the theme has it, else
// our own drawing, legible on light and dark backgrounds alike.
QIcon LoadAppIcon(AppIcon icon);
// Our own drawing of the picture (a resource path).
QString AppIconResource(AppIcon icon);

// An icon drawn from an SVG resource at the sizes window systems, buttons and menus ask for;
// null when the resource is missing or not an SVG.
QIcon SvgIcon(const QString& resource);

}  // namespace corvane
