#include "about/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace about {
namespace {

// The character 大 in three brush strokes, in a 64-unit square: a rising horizontal,
// a left-falling sweep that tapers, a right-falling stroke that widens to its end.
QPainterPath brushStrokes() {
  QPainterPath strokes;
  strokes.setFillRule(Qt::WindingFill);
  strokes.moveTo(11, 25);
  strokes.cubicTo(22, 22, 40, 19, 51, 19);
  strokes.cubicTo(54, 19, 55, 22, 52, 24);
  strokes.cubicTo(40, 25, 22, 27, 12, 29);
  strokes.closeSubpath();
  strokes.moveTo(30, 7);
  strokes.cubicTo(33, 6, 37, 8, 36, 12);
  strokes.lineTo(36, 30);
  strokes.cubicTo(34, 42, 24, 51, 10, 57);
  strokes.cubicTo(20, 48, 28, 40, 29, 30);
  strokes.lineTo(30, 12);
  strokes.closeSubpath();
  strokes.moveTo(35, 33);
  strokes.cubicTo(40, 40, 47, 47, 56, 50);
  strokes.cubicTo(54, 54, 50, 55, 47, 54);
  strokes.cubicTo(43, 48, 38, 41, 33, 37);
  strokes.closeSubpath();
  return strokes;
}

}  // namespace

void paintProgramIcon(QPainter& painter, int size) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);
  painter.setPen(QPen(QColor(120, 110, 90), 1.5));
  painter.setBrush(QColor(246, 240, 226));
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 9, 9);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  painter.drawPath(brushStrokes());
  painter.setBrush(QColor(200, 30, 30));
  painter.drawRect(QRectF(46, 5, 11, 11));
  painter.restore();
}

QImage programIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  paintProgramIcon(painter, size);
  return image;
}

QIcon programIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128})
    icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
  return icon;
}

}  // namespace about
