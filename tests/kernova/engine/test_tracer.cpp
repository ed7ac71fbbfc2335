#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "tests/kernova/engine/BmpSamples.h"
#include "kernova/engine/BatchTrace.h"
#include "kernova/engine/Tracer.h"

using namespace kernova;

namespace {

std::vector<Contour> trace(const InkBitmap& bitmap) {
  std::vector<Contour> contours;
  Status status = traceBitmap(bitmap, TraceParameters{}, contours);
  EXPECT_TRUE(status) << status.message();
  return contours;
}

// Intersection over union of the source's ink and the contours filled by FreeType's
// rasteriser (non-zero winding, as for a font) back on the canvas, where pixel (x, y)
// is font unit (4x, 4(442 - y)); a pixel at least half covered is ink.
double renderedOverlap(const InkBitmap& source, const std::vector<Contour>& contours) {
  std::vector<FT_Vector> points;
  std::vector<char> tags;
  std::vector<short> ends;
  for (const Contour& c : contours) {
    for (const Point& p : c) {  // 26.6 pixels, y up from the bitmap's bottom edge
      points.push_back({FT_Pos(p.x) * 16, FT_Pos(p.y) * 16 + FT_Pos(source.height - 442) * 64});
      tags.push_back(p.onCurve ? FT_CURVE_TAG_ON : FT_CURVE_TAG_CONIC);
    }
    ends.push_back(short(points.size() - 1));
  }
  FT_Outline outline{short(ends.size()), short(points.size()), points.data(), tags.data(), ends.data(), 0};
  std::vector<uint8_t> grey(source.ink.size());
  FT_Bitmap bitmap{unsigned(source.height), unsigned(source.width), source.width, grey.data(),
                   256, FT_PIXEL_MODE_GRAY, 0, nullptr};
  FT_Library library = nullptr;
  EXPECT_EQ(FT_Init_FreeType(&library), 0);
  EXPECT_EQ(FT_Outline_Get_Bitmap(library, &outline, &bitmap), 0);
  FT_Done_FreeType(library);
  size_t both = 0, either = 0;
  for (size_t i = 0; i < grey.size(); ++i)
    both += source.ink[i] && grey[i] >= 128, either += source.ink[i] || grey[i] >= 128;
  return double(both) / double(either);
}

// Round-capped strokes (x0, y0, x1, y1, radius; a negative radius erases) on a canvas.
InkBitmap strokes(std::initializer_list<std::array<double, 5>> list) {
  InkBitmap b = samples::blank(512, 512);
  for (auto [ax, ay, bx, by, r] : list) samples::stroke(b, ax, ay, bx, by, std::abs(r), r > 0);
  return b;
}

// A ring (radii 120 and 60) with an island of radius 25 in its hole.
InkBitmap ring() { return strokes({{256, 256, 256, 256, 120}, {256, 256, 256, 256, -60}, {256, 256, 256, 256, 25}}); }

InkBitmap stripes(int width, int height) {  // one-pixel vertical lines
  InkBitmap b = samples::blank(width, height);
  for (int x = 0; x < width; x += 2) samples::fillRect(b, x, 0, x, height - 1);
  return b;
}

bool between(int32_t value, int32_t a, int32_t b) { return std::min(a, b) <= value && value <= std::max(a, b); }

// Hairlines as they occur in lettering, joined to heavier strokes at both ends, and
// dots down to 3 x 3 pixels.
InkBitmap hairlinesAndDots() {
  InkBitmap b = samples::blank(512, 512);
  samples::fillRect(b, 100, 80, 125, 440);
  samples::fillRect(b, 380, 80, 405, 440);
  samples::fillRect(b, 126, 250, 379, 251);     // 2 px crossbar
  samples::stroke(b, 112, 90, 392, 430, 1.5);   // 3 px diagonal
  samples::stroke(b, 112, 300, 392, 200, 1.0);  // 2 px diagonal
  samples::stroke(b, 460, 140, 460, 140, 22);
  samples::stroke(b, 460, 420, 460, 420, 4);
  samples::fillRect(b, 450, 300, 452, 302);
  return b;
}

}  // namespace

// Filled as a font is, the outlines cover the source's pixels; no contour repeats a point
// or is a sliver. Outer contours run clockwise (y up), holes counter-clockwise, islands in
// holes clockwise, so the areas add up to minus the ink's (16 font units a pixel). Every
// off-curve point lies between its on-curve neighbours: a glyph's points give its exact box.
TEST(TraceRaster, GlyphsRenderBackAsTheirSourceAndCarryTheirExtremesOnCurve) {
  const InkBitmap sources[] = {ring(), hairlinesAndDots(), strokes({{100, 120, 400, 380, 30}, {380, 90, 120, 420, 12}}),
                               strokes({{80, 300, 430, 250, 18}, {210, 60, 260, 440, 9}, {330, 150, 330, 150, 33}}),
                               strokes({{140, 200, 370, 330, 70}, {300, 410, 450, 60, 5}})};
  for (const InkBitmap& source : sources) {
    std::vector<Contour> contours = trace(source);
    EXPECT_GE(renderedOverlap(source, contours), 0.97);
    double area = 0, ink = double(std::count(source.ink.begin(), source.ink.end(), 1));
    for (const Contour& c : contours) {
      area += contourSignedArea(c);
      for (size_t i = 0; i < c.size(); ++i) {
        const Point &p = c[(i + c.size() - 1) % c.size()], &q = c[i], &r = c[(i + 1) % c.size()];
        EXPECT_FALSE(q.x == r.x && q.y == r.y) << "repeats " << q.x << "," << q.y;
        EXPECT_TRUE(q.onCurve || (r.onCurve && between(q.x, p.x, r.x) && between(q.y, p.y, r.y)))
            << "a curve turns at " << q.x << "," << q.y;
      }
      EXPECT_GT(std::abs(contourSignedArea(c)), 1.0);
    }
    EXPECT_NEAR(-area / 16, ink, 0.02 * ink);
  }
}

// A square, a line and quadratic back (2/3 of its triangle), four implied on-curve points.
TEST(ContourArea, KnownShapes) {
  EXPECT_DOUBLE_EQ(contourSignedArea({{0, 0}, {0, 10}, {10, 10}, {10, 0}}), -100);
  EXPECT_DOUBLE_EQ(contourSignedArea({{0, 0}, {30, 0}, {15, 30, false}}), 300);
  EXPECT_NEAR(contourSignedArea({{10, 0, false}, {10, 10, false}, {0, 10, false}, {0, 0, false}}),
              50 + 4 * (2.0 / 3.0) * 12.5, 1e-9);
}

// Speckles under four pixels and a blank canvas give nothing. The outline length that
// bounds the work counts every ink-paper edge, the border's too. Bad input and bitmaps
// that would keep the bus waiting for seconds are refused, leaving the contours alone.
TEST(TraceInput, SpecklesGiveNothingAndBadOrTooLargeInputIsRefused) {
  InkBitmap b = samples::blank(64, 64);
  samples::set(b, 10, 10);
  samples::fillRect(b, 30, 30, 31, 30);
  samples::fillRect(b, 50, 50, 51, 51);  // four pixels: kept
  EXPECT_EQ(trace(b).size(), 1u);
  EXPECT_TRUE(trace(samples::blank(512, 512)).empty());
  InkBitmap diagonal = samples::blank(3, 3), full = samples::blank(5, 4), wordWide = samples::blank(64, 1);
  samples::set(diagonal, 0, 0);
  samples::set(diagonal, 1, 1);
  samples::fillRect(full, 0, 0, 4, 3);
  samples::fillRect(wordWide, 0, 0, 63, 0);
  EXPECT_EQ(std::vector<uint64_t>({outlineLength(samples::blank(4, 4)), outlineLength(diagonal),
                                   outlineLength(full), outlineLength(stripes(6, 10)), outlineLength(wordWide)}),
            std::vector<uint64_t>({0, 8, 18, 3 * 22, 2 + 2 * 64}));
  std::vector<Contour> contours{{{1, 2}}};
  const InkBitmap bad[] = {{10, 10, std::vector<uint8_t>(99, 0)}, {}, samples::blank(4097, 2048), stripes(1000, 251)};
  for (const InkBitmap& bitmap : bad)
    EXPECT_FALSE(traceBitmap(bitmap, TraceParameters{}, contours).message().empty());
  EXPECT_FALSE(traceBitmap(samples::blank(8, 8), {.maxQuadraticError = 0}, contours));
  EXPECT_EQ(contours.size(), 1u);
  EXPECT_TRUE(traceBitmap(stripes(1000, 249), TraceParameters{}, contours));
  EXPECT_EQ(contours.size(), 500u);
}

// A batch read and traced on two threads gives each image what it gives alone, in order.
TEST(TraceBatch, ThreadsGiveTheSequentialResults) {
  const std::vector<uint8_t> images[] = {samples::encodeBmp(ring()), {'B', 'M'}, samples::encodeBmp(hairlinesAndDots())};
  const std::vector<TracedBmp> traced = traceBmps({&images[0], &images[1], &images[2]}, 2);
  ASSERT_EQ(traced.size(), 3u);
  EXPECT_EQ(traced[0].contours, trace(ring()));
  EXPECT_FALSE(traced[1].read);
  EXPECT_EQ(traced[2].contours, trace(hairlinesAndDots()));
}
