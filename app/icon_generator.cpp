// Draws the application icon at the sizes the desktop asks for and writes
// them as PNG files. Run by hand when the design changes; the PNGs are kept
// in the source tree so the build needs no display.
//
//   vessa-icon-generator <output folder>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kSizes[] = {16, 32, 48};

void DrawIcon(QPainter& painter, double size) {
  painter.setRenderHint(QPainter::Antialiasing);
  const double unit = size / 48.0;

  // A unit's body: a dark, rounded box.
  const QRectF body(2 * unit, 2 * unit, 44 * unit, 44 * unit);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x26, 0x32, 0x3c));
  painter.drawRoundedRect(body, 8 * unit, 8 * unit);

  // A foot switch at the bottom.
  painter.setBrush(QColor(0xb0, 0xba, 0xc4));
  painter.drawEllipse(QPointF(24 * unit, 37 * unit), 5 * unit, 5 * unit);

  // The update: a downward arrow into the unit.
  painter.setBrush(QColor(0xf2, 0x8c, 0x28));
  QPainterPath arrow;
  arrow.moveTo(19 * unit, 7 * unit);
  arrow.lineTo(29 * unit, 7 * unit);
  arrow.lineTo(29 * unit, 17 * unit);
  arrow.lineTo(36 * unit, 17 * unit);
  arrow.lineTo(24 * unit, 29 * unit);
  arrow.lineTo(12 * unit, 17 * unit);
  arrow.lineTo(19 * unit, 17 * unit);
  arrow.closeSubpath();
  painter.drawPath(arrow);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  for (int size : kSizes) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawIcon(painter, size);
    painter.end();
    const QString path = QString("%1/vessa-updater-%2.png").arg(argv[1]).arg(size);
    if (!image.save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
