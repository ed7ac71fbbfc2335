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
Glyph glyph(std::vector<Contour> contours) { return Glyph{std::move(contours), kDefaultAdvance, false}; }

// Renders the outline (font units, 0..2048 both ways) into a 64 x 64 mask.
QImage raster(const Glyph& g) {
  QImage image(64, 64, QImage::Format_Grayscale8);
  image.fill(0);
  QPainter painter(&image);
  painter.setTransform(QTransform::fromScale(64.0 / 2048, 64.0 / 2048));
  painter.fillPath(glyphOutline(g), Qt::white);
  return image;
}

TEST(GlyphOutline, CounterWoundInnerContourIsAHole) {
  const Contour outer{on(0, 0), on(0, 2000), on(2000, 2000), on(2000, 0)};
  const Contour inner{on(500, 500), on(1500, 500), on(1500, 1500), on(500, 1500)};
  const QPainterPath path = glyphOutline(glyph({outer, inner}));
  EXPECT_TRUE(path.contains(QPointF(250, 250)));
  EXPECT_FALSE(path.contains(QPointF(1000, 1000)));
  EXPECT_FALSE(path.contains(QPointF(2100, 1000)));
  EXPECT_EQ(path.boundingRect(), QRectF(0, 0, 2000, 2000));
  EXPECT_TRUE(glyphOutline(Glyph{}).isEmpty());
}

TEST(GlyphOutline, ImpliedOnCurvePointsAndOffCurveStartsDrawTheSameShape) {
  const Contour shape{on(200, 200), off(200, 1800), on(1000, 1800), off(1800, 1800), on(1800, 200)};
  const Contour implied{on(200, 200), off(200, 1800), off(1800, 1800), on(1800, 200)};
  EXPECT_EQ(glyphOutline(glyph({implied})), glyphOutline(glyph({shape})));
  Contour rotated(shape.begin() + 1, shape.end());
  rotated.push_back(shape.front());  // now starts on an off-curve point
  EXPECT_EQ(raster(glyph({rotated})), raster(glyph({shape})));
}

TEST(GlyphOutline, AllOffCurveContourIsAClosedCurveThroughTheMidpoints) {
  const QPainterPath path = glyphOutline(glyph({{off(24, 24), off(24, 2024), off(2024, 2024), off(2024, 24)}}));
  EXPECT_TRUE(path.contains(QPointF(1024, 1024)));
  EXPECT_FALSE(path.contains(QPointF(100, 100))) << "corners lie outside the curve";
  EXPECT_NEAR(path.boundingRect().left(), 24, 1);
  EXPECT_NEAR(path.boundingRect().right(), 2024, 1);
}

TEST(EmBoxTransform, AscenderAtTopDescenderAtBottomAndANarrowAdvanceCentred) {
  const QTransform t = emBoxTransform(QRectF(10, 20, 64, 64));
  EXPECT_EQ(t.map(QPointF(0, kAscender)), QPointF(10, 20));
  EXPECT_EQ(t.map(QPointF(kDefaultAdvance, kDescender)), QPointF(74, 84));
  const QTransform narrow = emBoxTransform(QRectF(0, 0, 64, 64), 1024);
  EXPECT_EQ(narrow.map(QPointF(0, kAscender)), QPointF(16, 0));
  EXPECT_EQ(narrow.map(QPointF(1024, kDescender)), QPointF(48, 64));
}

}  // namespace
}  // namespace kernova
