#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "tests/kernova/engine/BmpSamples.h"
#include "kernova/engine/Tracer.h"

using kernova::Contour;
using kernova::InkBitmap;
using kernova::Point;
using kernova::traceBitmap;
using kernova::TraceParameters;

namespace {

struct Vec {
  double x, y;
};

// A contour as a closed polyline in canvas pixels (y down), curves cut in 16 pieces.
std::vector<Vec> flattenToCanvas(const Contour& contour) {
  auto canvas = [](double fx, double fy) { return Vec{fx / 4, 442 - fy / 4}; };
  size_t n = contour.size();
  std::vector<Vec> line;
  // Start at an on-curve point; the contours under test always have one.
  size_t start = 0;
  while (start < n && !contour[start].onCurve) ++start;
  if (start == n) return line;
  Vec from = canvas(contour[start].x, contour[start].y);
  line.push_back(from);
  for (size_t k = 1; k <= n; ++k) {
    const Point& p = contour[(start + k) % n];
    if (p.onCurve) {
      from = canvas(p.x, p.y);
      line.push_back(from);
      continue;
    }
    const Point& q = contour[(start + k + 1) % n];
    Vec control = canvas(p.x, p.y);
    Vec to = q.onCurve ? canvas(q.x, q.y) : canvas((p.x + q.x) / 2.0, (p.y + q.y) / 2.0);
    for (int i = 1; i <= 16; ++i) {
      double t = i / 16.0, u = 1 - t;
      line.push_back({u * u * from.x + 2 * u * t * control.x + t * t * to.x,
                      u * u * from.y + 2 * u * t * control.y + t * t * to.y});
    }
    from = to;
    if (q.onCurve) ++k;
  }
  return line;
}

// Non-zero winding fill sampled at pixel centres, as a TrueType rasteriser fills.
InkBitmap rasterise(const std::vector<Contour>& contours, int width, int height) {
  std::vector<std::vector<Vec>> lines;
  for (const Contour& c : contours) lines.push_back(flattenToCanvas(c));
  InkBitmap out = samples::blank(width, height);
  for (int y = 0; y < height; ++y) {
    double yc = y + 0.5;
    std::vector<std::pair<double, int>> crossings;
    for (const auto& line : lines) {
      for (size_t i = 0; i < line.size(); ++i) {
        Vec a = line[i], b = line[(i + 1) % line.size()];
        if ((a.y <= yc) == (b.y <= yc)) continue;
        double x = a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y);
        crossings.push_back({x, a.y < b.y ? 1 : -1});
      }
    }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].second;
      if (winding == 0) continue;
      for (int x = std::max(0, int(std::ceil(crossings[i].first - 0.5)));
           x + 0.5 < crossings[i + 1].first && x < width; ++x)
        samples::set(out, x, y);
    }
  }
  return out;
}

double intersectionOverUnion(const InkBitmap& a, const InkBitmap& b) {
  size_t both = 0, either = 0;
  for (size_t i = 0; i < a.ink.size(); ++i) {
    both += a.ink[i] && b.ink[i];
    either += a.ink[i] || b.ink[i];
  }
  return either == 0 ? 1.0 : double(both) / double(either);
}

std::vector<Contour> trace(const InkBitmap& bitmap) {
  std::vector<Contour> contours;
  Status status = traceBitmap(bitmap, TraceParameters{}, contours);
  EXPECT_TRUE(status) << status.message();
  return contours;
}

InkBitmap ring() {
  InkBitmap b = samples::blank(512, 512);
  samples::disc(b, 256, 256, 120);
  samples::disc(b, 256, 256, 60, true);
  return b;
}

// Hairlines as they occur in lettering: joined to heavier strokes at both ends.
InkBitmap hairlines() {
  InkBitmap b = samples::blank(512, 512);
  samples::fillRect(b, 100, 80, 125, 440);
  samples::fillRect(b, 380, 80, 405, 440);
  samples::fillRect(b, 126, 250, 379, 251);     // 2 px crossbar
  samples::fillRect(b, 126, 330, 379, 332);     // 3 px crossbar
  samples::stroke(b, 112, 90, 392, 430, 1.5);   // 3 px diagonal
  samples::stroke(b, 112, 300, 392, 200, 1.0);  // 2 px diagonal
  return b;
}

InkBitmap dots() {
  InkBitmap b = samples::blank(512, 512);
  samples::fillRect(b, 240, 200, 271, 440);  // the stem of an "i"
  samples::disc(b, 256, 140, 22);            // its dot
  samples::disc(b, 100, 420, 6);
  samples::disc(b, 400, 420, 4);
  samples::fillRect(b, 400, 100, 402, 102);  // a 3 x 3 dot
  return b;
}

InkBitmap brush() {
  InkBitmap b = samples::blank(512, 512);
  auto x = [](double t) { return 120 + 280 * t; };
  auto y = [](double t) { return 250 + 150 * std::sin(6.0 * t); };
  for (int i = 0; i < 40; ++i)
    samples::stroke(b, x(i / 40.0), y(i / 40.0), x((i + 1) / 40.0), y((i + 1) / 40.0),
                    12 + i / 4.0);
  samples::stroke(b, 100, 80, 420, 120, 16);
  return b;
}

std::pair<int, int> yRange(const Contour& c) {
  auto [low, high] =
      std::minmax_element(c.begin(), c.end(), [](auto& a, auto& b) { return a.y < b.y; });
  return {low->y, high->y};
}

}  // namespace

// Rendered back with a non-zero fill, the outlines cover the source's pixels; each
// contour is a real shape without repeated points or off-curve neighbours.
TEST(TraceRaster, GlyphsRenderBackAsTheirSource) {
  const std::pair<const char*, InkBitmap> shapes[] = {
      {"ring", ring()}, {"hairlines", hairlines()}, {"dots", dots()}, {"brush", brush()}};
  for (const auto& [name, source] : shapes) {
    std::vector<Contour> contours = trace(source);
    InkBitmap back = rasterise(contours, source.width, source.height);
    EXPECT_GE(intersectionOverUnion(source, back), 0.97) << name;
    for (const Contour& c : contours) {
      ASSERT_GE(c.size(), 3u) << name;
      for (size_t i = 0; i < c.size(); ++i) {
        const Point& p = c[i];
        const Point& q = c[(i + 1) % c.size()];
        EXPECT_FALSE(p.x == q.x && p.y == q.y) << name << " repeats " << p.x << "," << p.y;
        EXPECT_FALSE(!p.onCurve && !q.onCurve) << name << " has off-curve neighbours";
      }
      EXPECT_GT(std::abs(kernova::contourSignedArea(c)), 1.0) << name;
    }
  }
}

// Canvas pixel (x, y) is font unit (4x, 4(442 - y)): row 441's bottom edge is the baseline.
TEST(TracePlacement, CanvasGeometryPlacesTheOutline) {
  InkBitmap b = samples::blank(512, 512);
  samples::fillRect(b, 100, 400, 149, 441);  // sits on the guide line
  samples::fillRect(b, 0, 0, 511, 9);        // the top rows
  samples::fillRect(b, 0, 500, 511, 511);    // the bottom rows, below the baseline
  std::vector<Contour> contours = trace(b);
  ASSERT_EQ(contours.size(), 3u);
  std::sort(contours.begin(), contours.end(),
            [](auto& a, auto& b) { return yRange(a) < yRange(b); });
  EXPECT_EQ(yRange(contours[0]), std::make_pair(4 * (442 - 512), 4 * (442 - 500)));
  EXPECT_EQ(yRange(contours[1]), std::make_pair(0, 4 * 42));
  EXPECT_EQ(yRange(contours[2]), std::make_pair(4 * (442 - 10), 4 * 442));
  auto [left, right] = std::minmax_element(contours[1].begin(), contours[1].end(),
                                           [](auto& a, auto& b) { return a.x < b.x; });
  EXPECT_EQ(left->x, 400);
  EXPECT_EQ(right->x, 600);
}

TEST(ContourArea, KnownShapes) {
  Contour clockwiseSquare{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
  EXPECT_DOUBLE_EQ(kernova::contourSignedArea(clockwiseSquare), -100);
  // Line (0,0)-(30,0), then a quadratic back over control (15,30): 2/3 of 30*30/2.
  Contour cap{{0, 0}, {30, 0}, {15, 30, false}};
  EXPECT_DOUBLE_EQ(kernova::contourSignedArea(cap), 300);
  // Four off-curve points with implied on-curve midpoints.
  Contour allOff{{10, 0, false}, {10, 10, false}, {0, 10, false}, {0, 0, false}};
  EXPECT_NEAR(kernova::contourSignedArea(allOff), 50 + 4 * (2.0 / 3.0) * 12.5, 1e-9);
}

// Outer contours run clockwise (negative area, y up), holes counter-clockwise, and an
// island inside a hole is outer again. Areas in font units are 16 x canvas pixels.
TEST(TraceOrientation, OuterClockwiseHoleCounterClockwiseIslandClockwise) {
  InkBitmap b = ring();
  samples::disc(b, 256, 256, 25);
  std::vector<Contour> contours = trace(b);
  ASSERT_EQ(contours.size(), 3u);
  std::vector<double> areas;
  for (const Contour& c : contours) areas.push_back(kernova::contourSignedArea(c) / 16);
  std::sort(areas.begin(), areas.end(), [](double a, double b) { return std::abs(a) > std::abs(b); });
  EXPECT_NEAR(areas[0], -M_PI * 120 * 120, 0.01 * M_PI * 120 * 120);
  EXPECT_NEAR(areas[1], M_PI * 60 * 60, 0.02 * M_PI * 60 * 60);
  EXPECT_NEAR(areas[2], -M_PI * 25 * 25, 0.05 * M_PI * 25 * 25);
}

TEST(TraceInput, SpecklesAndBlankCanvasGiveNothingAndBadInputIsRefused) {
  InkBitmap b = samples::blank(64, 64);
  samples::set(b, 10, 10);
  samples::fillRect(b, 30, 30, 31, 30);
  samples::fillRect(b, 50, 50, 51, 51);  // four pixels: kept
  EXPECT_EQ(trace(b).size(), 1u);

  std::vector<Contour> contours{{{1, 2}}};
  ASSERT_TRUE(traceBitmap(samples::blank(512, 512), TraceParameters{}, contours));
  EXPECT_TRUE(contours.empty());
  EXPECT_FALSE(traceBitmap(InkBitmap{10, 10, std::vector<uint8_t>(99, 0)}, {}, contours));
  EXPECT_FALSE(traceBitmap(InkBitmap{}, TraceParameters{}, contours));
  TraceParameters bad;
  bad.maxQuadraticError = 0;
  EXPECT_FALSE(traceBitmap(samples::blank(8, 8), bad, contours));
}

namespace {

InkBitmap stripes(int width, int height) {  // one-pixel vertical lines
  InkBitmap b = samples::blank(width, height);
  for (int x = 0; x < width; x += 2) samples::fillRect(b, x, 0, x, height - 1);
  return b;
}

}  // namespace

TEST(TraceBudget, OutlineLengthCountsEveryInkPaperEdge) {
  InkBitmap diagonal = samples::blank(3, 3);
  samples::set(diagonal, 0, 0);
  samples::set(diagonal, 1, 1);
  InkBitmap full = samples::blank(5, 4);
  samples::fillRect(full, 0, 0, 4, 3);
  EXPECT_EQ(outlineLength(samples::blank(4, 4)), 0u);
  EXPECT_EQ(outlineLength(diagonal), 8u) << "pixels touching at a corner share no edge";
  EXPECT_EQ(outlineLength(full), 18u) << "ink on the border meets paper beyond it";
  EXPECT_EQ(outlineLength(stripes(6, 10)), 3u * 22);
}

// Bitmaps that would keep the bus waiting for seconds are refused before tracing.
TEST(TraceBudget, TooManyPixelsOrTooLongOutlinesAreRefused) {
  std::vector<Contour> contours{{{1, 2}}};
  for (const InkBitmap& bitmap : {samples::blank(4097, 2048), stripes(1000, 251)}) {
    const Status status = traceBitmap(bitmap, TraceParameters{}, contours);
    EXPECT_FALSE(status);
    EXPECT_FALSE(status.message().empty());
  }
  EXPECT_EQ(contours.size(), 1u) << "a refused bitmap leaves the contours alone";
  EXPECT_TRUE(traceBitmap(stripes(1000, 249), TraceParameters{}, contours));
  EXPECT_EQ(contours.size(), 500u);
}
