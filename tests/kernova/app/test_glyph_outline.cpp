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
QPainterPath outline(std::vector<Contour> contours) { return glyphOutline(Glyph{std::move(contours)}); }

TEST(GlyphOutline, CounterWoundInnerContourIsAHole) {
  const QPainterPath path = outline({{on(0, 0), on(0, 2000), on(2000, 2000), on(2000, 0)},
                                     {on(500, 500), on(1500, 500), on(1500, 1500), on(500, 1500)}});
  EXPECT_TRUE(path.contains(QPointF(250, 250)));
  EXPECT_FALSE(path.contains(QPointF(1000, 1000)));
  EXPECT_EQ(path.boundingRect(), QRectF(0, 0, 2000, 2000));
}

// Two off-curve points imply the on-curve one between them; a contour starting
// off-curve draws what its rotation starting on-curve draws (compared as 64 x 64 masks).
TEST(GlyphOutline, ImpliedOnCurvePointsAndOffCurveStartsDrawTheSameShape) {
  const Contour shape{on(200, 200), off(200, 1800), on(1000, 1800), off(1800, 1800), on(1800, 200)};
  EXPECT_EQ(outline({{on(200, 200), off(200, 1800), off(1800, 1800), on(1800, 200)}}), outline({shape}));
  auto raster = [](const QPainterPath& path) {
    QImage image(64, 64, QImage::Format_Grayscale8);
    image.fill(0);
    QPainter(&image).fillPath(QTransform::fromScale(64.0 / 2048, 64.0 / 2048).map(path), Qt::white);
    return image;
  };
  Contour rotated(shape.begin() + 1, shape.end());
  rotated.push_back(shape.front());
  EXPECT_EQ(raster(outline({rotated})), raster(outline({shape})));
  const QPainterPath round = outline({{off(24, 24), off(24, 2024), off(2024, 2024), off(2024, 24)}});
  EXPECT_TRUE(round.contains(QPointF(1024, 1024)));
  EXPECT_FALSE(round.contains(QPointF(100, 100))) << "corners lie outside the curve through the midpoints";
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
