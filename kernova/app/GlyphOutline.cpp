#include "kernova/app/GlyphOutline.h"

#include <algorithm>

namespace kernova {
namespace {

QPointF toPointF(const Point& p) { return QPointF(p.x, p.y); }

QPointF midpoint(const Point& a, const Point& b) {
  return QPointF((a.x + b.x) / 2.0, (a.y + b.y) / 2.0);
}

// The on-curve point the contour starts from: its first on-curve point, or, when
// every point is off-curve, the implied point between the last and the first.
size_t startIndex(const Contour& contour) {
  for (size_t i = 0; i < contour.size(); ++i) {
    if (contour[i].onCurve) return i;
  }
  return contour.size();
}

void addContour(QPainterPath& path, const Contour& contour) {
  if (contour.empty()) return;
  const size_t n = contour.size();
  const size_t start = startIndex(contour);
  const bool allOff = start == n;
  const QPointF origin = allOff ? midpoint(contour[n - 1], contour[0]) : toPointF(contour[start]);
  path.moveTo(origin);
  // Every point after the start once; the start point itself closes the contour.
  const size_t first = allOff ? 0 : start + 1;
  const size_t count = allOff ? n : n - 1;
  const Point* pendingControl = nullptr;
  for (size_t k = 0; k < count; ++k) {
    const Point& p = contour[(first + k) % n];
    if (p.onCurve) {
      if (pendingControl) path.quadTo(toPointF(*pendingControl), toPointF(p));
      else path.lineTo(toPointF(p));
      pendingControl = nullptr;
    } else {
      if (pendingControl) path.quadTo(toPointF(*pendingControl), midpoint(*pendingControl, p));
      pendingControl = &p;
    }
  }
  if (pendingControl) path.quadTo(toPointF(*pendingControl), origin);
  path.closeSubpath();
}

}  // namespace

QPainterPath glyphOutline(const Glyph& glyph) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  for (const Contour& contour : glyph.contours) addContour(path, contour);
  return path;
}

QTransform emBoxTransform(const QRectF& box, int advance) {
  const double emHeight = kAscender - kDescender;
  const double width = std::max(advance, 1);
  const double scale = std::min(box.width() / width, box.height() / emHeight);
  const double left = box.left() + (box.width() - width * scale) / 2.0;
  const double top = box.top() + (box.height() - emHeight * scale) / 2.0;
  return baselineTransform(QPointF(left, top + kAscender * scale), scale);
}

QTransform baselineTransform(const QPointF& origin, double scale) {
  return QTransform(scale, 0, 0, -scale, origin.x(), origin.y());
}

}  // namespace kernova
