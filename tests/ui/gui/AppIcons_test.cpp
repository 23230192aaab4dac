// Our own drawings of the window's pictures: each one is drawn, and at the 16x16 of a menu item
// it still stands out on a white and on a black background.
#include "ui/AppIcons.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

using namespace corvane;

namespace {

// Share of the image's pixels that are mostly opaque and differ clearly from `background`.
double ContrastingShare(const QImage& image, QColor background) {
  int contrasting = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (pixel.alphaF() < 0.5) continue;
      if (std::abs(pixel.lightnessF() - background.lightnessF()) > 0.3) ++contrasting;
    }
  }
  return static_cast<double>(contrasting) / (image.width() * image.height());
}

}  // namespace

class AppIconsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyPictureIsLegibleOnLightAndDark() {
    for (const AppIcon icon :
         {AppIcon::ConvertPage, AppIcon::RipperPage, AppIcon::AboutPage, AppIcon::Help, AppIcon::Settings,
          AppIcon::ConverterSettings, AppIcon::RipperSettings, AppIcon::FreedbSettings}) {
      const QString resource = AppIconResource(icon);
      QSvgRenderer renderer(resource);
      QVERIFY2(renderer.isValid(), qPrintable(resource));
      QVERIFY(!SvgIcon(resource).isNull());
      QVERIFY(!LoadAppIcon(icon).isNull());
      QImage small(16, 16, QImage::Format_ARGB32);
      small.fill(Qt::transparent);
      QPainter painter(&small);
      painter.setRenderHint(QPainter::Antialiasing);
      renderer.render(&painter);
      painter.end();
      for (const QColor background : {QColor(Qt::white), QColor(Qt::black)}) {
        const double share = ContrastingShare(small, background);
        QVERIFY2(share > 0.2, qPrintable(QStringLiteral("%1 on %2: %3").arg(resource, background.name()).arg(share)));
      }
    }
    QVERIFY(SvgIcon(QStringLiteral(":/icons/none.svg")).isNull());
  }
};

QTEST_MAIN(AppIconsTest)
#include "AppIcons_test.moc"
