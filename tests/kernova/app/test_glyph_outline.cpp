// Glyphs as the window draws them: outlines as painter paths, the em box's placement,
// and the glyphs the preview line sets for a text.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "kernova/app/GlyphOutline.h"
#include "kernova/app/PreviewLine.h"
#include "kernova/engine/TrueTypeLayout.h"

namespace kernova {
namespace {

Point on(int x, int y) { return Point{x, y, true}; }
Point off(int x, int y) { return Point{x, y, false}; }
QPainterPath outline(std::vector<Contour> contours) { return glyphOutline(Glyph{std::move(contours)}); }

TEST(GlyphOutline, CounterWoundInnerContourIsAHoleAndACoWoundOneIsNot) {
  const Contour outer{on(0, 0), on(0, 2000), on(2000, 2000), on(2000, 0)};
  const QPainterPath holed = outline({outer, {on(500, 500), on(1500, 500), on(1500, 1500), on(500, 1500)}});
  EXPECT_FALSE(holed.contains(QPointF(1000, 1000)));
  const QPainterPath overlapped = outline({outer, {on(500, 500), on(500, 1500), on(1500, 1500), on(1500, 500)}});
  EXPECT_TRUE(overlapped.contains(QPointF(1000, 1000))) << "non-zero fill";
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

TEST(EmBoxTransform, AscenderAtTopDescenderAtBottom) {
  const QTransform t = emBoxTransform(QRectF(10, 20, 64, 64));
  EXPECT_EQ(t.map(QPointF(0, kAscender)), QPointF(10, 20));
  EXPECT_EQ(t.map(QPointF(kDefaultAdvance, kDescender)), QPointF(74, 84));
}

// 'A' drawn, 'B' without a glyph, the space, U+3042 (no code in a Latin font, no glyph
// in a Japanese one); the euro sign is a code of the Latin page only.
TEST(PreviewGlyphs, MissingCharactersShowAsTheNotdefBoxInLatinAndJapaneseFonts) {
  const Glyph drawn{{{{0, 0}, {0, 900}, {700, 900}, {700, 0}}}, kDefaultAdvance, false};
  for (FontType type : {FontType::Latin, FontType::Japanese}) {
    FontDocument document(type, "preview");
    document.setGlyph('A', drawn);
    const std::vector<PreviewGlyph> shown = previewGlyphs(QStringLiteral("AB \u3042"), document);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].glyph, drawn);
    EXPECT_EQ(shown[2].glyph.advance, sfnt::kSpaceAdvance);
    EXPECT_TRUE(shown[2].glyph.empty());
    for (size_t i : {1u, 3u}) {
      EXPECT_TRUE(shown[i].missing) << int(type) << " " << i;
      EXPECT_EQ(shown[i].glyph, sfnt::missingGlyph()) << int(type) << " " << i;
    }
    EXPECT_FALSE(shown[0].missing || shown[2].missing);
  }
  using Codes = std::vector<std::optional<uint16_t>>;
  EXPECT_EQ(previewCodes(QStringLiteral("\u20AC\u3042"), FontType::Latin), (Codes{0x80, std::nullopt}));
  EXPECT_EQ(previewCodes(QStringLiteral("\u20AC\u3042"), FontType::Japanese), (Codes{std::nullopt, 0x82A0}));
}

}  // namespace
}  // namespace kernova
