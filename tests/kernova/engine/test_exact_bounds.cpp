// Traced glyphs carry their extremes as on-curve points, so the boxes a saved font
// states (glyf, hmtx left side bearing) are the quadratic outline's exact ones as
// FreeType measures them.
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

// Round-capped strokes (x0, y0, x1, y1, radius; a negative radius erases) at slants,
// discs and a ring: curves that turn inside potrace's segments in both directions.
const std::vector<std::vector<std::array<double, 5>>> kGlyphs = {
    {{100, 120, 400, 380, 30}, {380, 90, 120, 420, 12}},
    {{256, 256, 256, 256, 150}, {256, 256, 256, 256, -90}, {250, 250, 250, 250, 40}},
    {{80, 300, 430, 250, 18}, {210, 60, 260, 440, 9}, {330, 150, 330, 150, 33}},
    {{140, 200, 370, 330, 70}, {300, 410, 450, 60, 5}}};

bool between(int32_t value, int32_t a, int32_t b) { return std::min(a, b) <= value && value <= std::max(a, b); }

}  // namespace

TEST(ExactBounds, ExtremesAreOnCurveAndSavedBoxesAreTheOutlinesExactBoxes) {
  FontDocument document(FontType::Latin, "Bounds");
  for (size_t i = 0; i < kGlyphs.size(); ++i) {
    kernova::InkBitmap bitmap = samples::blank(512, 512);
    for (auto [ax, ay, bx, by, r] : kGlyphs[i]) samples::stroke(bitmap, ax, ay, bx, by, std::abs(r), r > 0);
    Glyph glyph;
    ASSERT_TRUE(kernova::traceBitmap(bitmap, kernova::TraceParameters{}, glyph.contours));
    for (const Contour& c : glyph.contours)
      for (size_t k = 0; k < c.size(); ++k) {  // no curve turns between its ends
        const Point &p = c[(k + c.size() - 1) % c.size()], &q = c[k], &r = c[(k + 1) % c.size()];
        EXPECT_TRUE(q.onCurve || (between(q.x, p.x, r.x) && between(q.y, p.y, r.y))) << i << ": " << q.x << "," << q.y;
      }
    document.setGlyph(uint16_t('a' + i), std::move(glyph));
  }
  const Bytes font = kernova::compileTrueType(document);
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  ASSERT_EQ(FT_New_Memory_Face(library, font.data(), FT_Long(font.size()), 0, &face), 0);
  const Bytes glyf = tableBytes(font, "glyf"), loca = tableBytes(font, "loca"), hmtx = tableBytes(font, "hmtx");
  const bool longLoca = be16(tableBytes(font, "head"), 50) == 1;
  const auto signedAt = [](const Bytes& table, size_t at) { return int16_t(be16(table, at)); };
  for (FT_Long id = 0; id < face->num_glyphs; ++id) {
    ASSERT_EQ(FT_Load_Glyph(face, FT_UInt(id), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    if (face->glyph->outline.n_points == 0) continue;
    FT_BBox exact;
    FT_Outline_Get_BBox(&face->glyph->outline, &exact);
    const size_t at = longLoca ? be32(loca, 4 * id) : 2 * be16(loca, 2 * id);
    const FT_Pos measured[] = {exact.xMin, exact.yMin, exact.xMax, exact.yMax};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(signedAt(glyf, at + 2 + 2 * k), measured[k], 1) << "glyph " << id << " side " << k;
    EXPECT_NEAR(signedAt(hmtx, 4 * id + 2), exact.xMin, 1) << "left side bearing of glyph " << id;
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}
