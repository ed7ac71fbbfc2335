// Traced glyphs carry their extremes as on-curve points, so the boxes a saved font
// states (glyf, hmtx left side bearing, head) are the ink's, as FreeType measures the
// quadratic outline exactly.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include "kernova/engine/Tracer.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "tests/kernova/engine/BmpSamples.h"
#include "tests/kernova/engine/test_truetype_support.h"

using namespace tt;

namespace {

struct Stroke {
  double ax, ay, bx, by, radius;
  bool ink = true;
};

// Round-capped strokes at slants, discs and a ring: curves that turn inside potrace's
// segments in both directions.
const std::vector<std::vector<Stroke>> kGlyphs = {
    {{100, 120, 400, 380, 30}, {380, 90, 120, 420, 12}},
    {{256, 256, 256, 256, 150}, {256, 256, 256, 256, 90, false}, {250, 250, 250, 250, 40}},
    {{80, 300, 430, 250, 18}, {210, 60, 260, 440, 9}, {330, 150, 330, 150, 33}},
    {{140, 200, 370, 330, 70}, {300, 410, 450, 60, 5}},
};

kernova::InkBitmap draw(const std::vector<Stroke>& strokes) {
  kernova::InkBitmap bitmap = samples::blank(512, 512);
  for (const Stroke& s : strokes) samples::stroke(bitmap, s.ax, s.ay, s.bx, s.by, s.radius, s.ink);
  return bitmap;
}

bool within(int32_t value, int32_t a, int32_t b) { return std::min(a, b) <= value && value <= std::max(a, b); }

}  // namespace

TEST(ExactBounds, ExtremesAreOnCurveAndSavedBoxesAreTheOutlinesExactBoxes) {
  FontDocument document(FontType::Latin, "Bounds");
  for (size_t i = 0; i < kGlyphs.size(); ++i) {
    Glyph glyph;
    ASSERT_TRUE(kernova::traceBitmap(draw(kGlyphs[i]), kernova::TraceParameters{}, glyph.contours));
    for (const Contour& c : glyph.contours)
      for (size_t k = 0; k < c.size(); ++k) {  // off-curve points lie between on-curve ones
        const Point &p = c[(k + c.size() - 1) % c.size()], &q = c[k], &r = c[(k + 1) % c.size()];
        EXPECT_TRUE(q.onCurve || (within(q.x, p.x, r.x) && within(q.y, p.y, r.y))) << i << ": " << q.x << "," << q.y;
      }
    document.setGlyph(uint16_t('a' + i), std::move(glyph));
  }
  const Bytes font = kernova::compileTrueType(document);
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  ASSERT_EQ(FT_New_Memory_Face(library, font.data(), FT_Long(font.size()), 0, &face), 0);
  const size_t glyf = tableOffset(font, "glyf"), loca = tableOffset(font, "loca"), hmtx = tableOffset(font, "hmtx");
  const bool longLoca = be16(font, tableOffset(font, "head") + 50) == 1;
  FT_BBox all{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (FT_Long id = 0; id < face->num_glyphs; ++id) {
    ASSERT_EQ(FT_Load_Glyph(face, FT_UInt(id), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    if (face->glyph->outline.n_points == 0) continue;
    FT_BBox exact;
    FT_Outline_Get_BBox(&face->glyph->outline, &exact);
    const size_t at = glyf + (longLoca ? be32(font, loca + 4 * id) : 2 * be16(font, loca + 2 * id));
    const FT_Pos stored[] = {sbe16(font, at + 2), sbe16(font, at + 4), sbe16(font, at + 6), sbe16(font, at + 8)};
    const FT_Pos measured[] = {exact.xMin, exact.yMin, exact.xMax, exact.yMax};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(stored[k], measured[k], 1) << "glyph " << id << " side " << k;
    EXPECT_EQ(sbe16(font, hmtx + 4 * id + 2), stored[0]) << "left side bearing of glyph " << id;
    all = {std::min(all.xMin, exact.xMin), std::min(all.yMin, exact.yMin), std::max(all.xMax, exact.xMax),
           std::max(all.yMax, exact.yMax)};
  }
  const size_t head = tableOffset(font, "head");
  const FT_Pos fontBox[] = {all.xMin, all.yMin, all.xMax, all.yMax};
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(sbe16(font, head + 36 + 2 * k), fontBox[k], 1) << "head side " << k;
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}
