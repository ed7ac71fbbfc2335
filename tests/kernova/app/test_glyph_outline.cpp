// Glyph outlines as painter paths: TrueType's implied on-curve points, contours that
// start off-curve, the non-zero fill, and the placement of the em box.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "kernova/app/GlyphOutline.h"

namespace kernova {
namespace {

Point on(int x, int y) { return Point{x, y, true}; }
Point off(int x, int y) { return Point{x, y, false}; }

// Renders the path (font units, 0..2048 both ways) into a 64 x 64 mask.
QImage raster(const QPainterPath& path) {
  QImage image(64, 64, QImage::Format_Grayscale8);
  image.fill(0);
  QPainter painter(&image);
  painter.setTransform(QTransform::fromScale(64.0 / 2048, 64.0 / 2048));
  painter.fillPath(path, Qt::white);
  return image;
}

Glyph square(int left, int bottom, int size, bool clockwise) {
  Contour c{on(left, bottom), on(left, bottom + size), on(left + size, bottom + size), on(left + size, bottom)};
  if (!clockwise) std::reverse(c.begin(), c.end());
  return Glyph{{c}, kDefaultAdvance, false};
}

TEST(GlyphOutline, OnCurvePolygonFillsItsInsideOnly) {
  const QPainterPath path = glyphOutline(square(100, 100, 1000, true));
  EXPECT_TRUE(path.contains(QPointF(600, 600)));
  EXPECT_FALSE(path.contains(QPointF(1200, 600)));
  EXPECT_EQ(path.boundingRect(), QRectF(100, 100, 1000, 1000));
}

TEST(GlyphOutline, ImpliedOnCurvePointsEqualExplicitOnes) {
  const Glyph implied{{{on(0, 0), off(0, 1000), off(1000, 1000), on(1000, 0)}}, kDefaultAdvance, false};
  const Glyph explicitMid{{{on(0, 0), off(0, 1000), on(500, 1000), off(1000, 1000), on(1000, 0)}},
                          kDefaultAdvance, false};
  EXPECT_EQ(glyphOutline(implied), glyphOutline(explicitMid));
}

TEST(GlyphOutline, ContourStartingOffCurveDrawsTheSameShape) {
  const Contour shape{on(200, 200), off(200, 1800), on(1000, 1800), off(1800, 1800), on(1800, 200)};
  Contour rotated(shape.begin() + 1, shape.end());
  rotated.push_back(shape.front());  // now starts on an off-curve point
  EXPECT_EQ(raster(glyphOutline(Glyph{{shape}, kDefaultAdvance, false})),
            raster(glyphOutline(Glyph{{rotated}, kDefaultAdvance, false})));
}

TEST(GlyphOutline, AllOffCurveContourIsAClosedCurve) {
  const Glyph circle{{{off(24, 24), off(24, 2024), off(2024, 2024), off(2024, 24)}}, kDefaultAdvance, false};
  const QPainterPath path = glyphOutline(circle);
  EXPECT_TRUE(path.contains(QPointF(1024, 1024)));
  EXPECT_FALSE(path.contains(QPointF(100, 100))) << "corners lie outside the curve through the midpoints";
  EXPECT_NEAR(path.boundingRect().left(), 24, 1);
  EXPECT_NEAR(path.boundingRect().right(), 2024, 1);
}

TEST(GlyphOutline, CounterWoundHoleStaysEmpty) {
  Glyph ring = square(0, 0, 2000, true);
  ring.contours.push_back(square(500, 500, 1000, false).contours[0]);
  const QPainterPath path = glyphOutline(ring);
  EXPECT_TRUE(path.contains(QPointF(250, 250)));
  EXPECT_FALSE(path.contains(QPointF(1000, 1000)));
}

TEST(GlyphOutline, EmptyGlyphGivesEmptyPath) { EXPECT_TRUE(glyphOutline(Glyph{}).isEmpty()); }

TEST(EmBoxTransform, AscenderAtTopDescenderAtBottom) {
  const QTransform t = emBoxTransform(QRectF(10, 20, 64, 64));
  EXPECT_EQ(t.map(QPointF(0, kAscender)), QPointF(10, 20));
  EXPECT_EQ(t.map(QPointF(kDefaultAdvance, kDescender)), QPointF(74, 84));
  EXPECT_DOUBLE_EQ(t.map(QPointF(0, 0)).y(), 20 + 64.0 * kAscender / 2048);
}

TEST(EmBoxTransform, NarrowAdvanceIsCentredAtTheSameScale) {
  const QTransform t = emBoxTransform(QRectF(0, 0, 64, 64), 1024);
  EXPECT_EQ(t.map(QPointF(0, kAscender)), QPointF(16, 0));
  EXPECT_EQ(t.map(QPointF(1024, kDescender)), QPointF(48, 64));
}

}  // namespace
}  // namespace kernova
