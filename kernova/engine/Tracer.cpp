// Tracing an ink raster into TrueType contours.
//
// Stages: pack the raster into potrace's bitmap, bottom row first, so potrace's y
// grows upward from the bitmap's bottom edge; trace; place every potrace point on the
// canvas geometry; replace each cubic by quadratics, cut where x or y turns so that
// the extremes are on-curve points and the points' box is the outline's; round to
// integers, dropping repeated points and contours that collapse; orient outer contours clockwise and
// holes counter-clockwise (y up), whatever potrace's own convention.
#include <potracelib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <string>

#include "kernova/engine/CubicToQuadratic.h"
#include "kernova/engine/Tracer.h"

namespace kernova {
namespace {

constexpr int kBitsPerWord = int(8 * sizeof(potrace_word));
// Rounding a point to the integer grid moves it, and so the curve, by at most √½.
const double kRoundingAllowance = std::sqrt(0.5);
constexpr double kSmallestCurveTolerance = 0.05;
// A contour enclosing less than this (square font units) is a rounding remnant.
constexpr double kMinContourArea = 0.5;

struct StateDeleter {
  void operator()(potrace_state_t* state) const { potrace_state_free(state); }
};
struct ParamDeleter {
  void operator()(potrace_param_t* param) const { potrace_param_free(param); }
};

// potrace's raster: scanline n starts at words[n * dy]; the leftmost pixel is the
// most significant bit. Scanline 0 is the bottom row.
struct PackedBitmap {
  std::vector<potrace_word> words;
  potrace_bitmap_t bitmap{};
};

void pack(const InkBitmap& source, PackedBitmap& packed) {
  int dy = (source.width + kBitsPerWord - 1) / kBitsPerWord;
  packed.words.assign(size_t(dy) * size_t(source.height), 0);
  for (int row = 0; row < source.height; ++row) {
    potrace_word* scanline = packed.words.data() + size_t(source.height - 1 - row) * size_t(dy);
    const uint8_t* ink = source.ink.data() + size_t(row) * size_t(source.width);
    for (int x = 0; x < source.width; ++x)  // without a branch: ink is scattered
      scanline[x / kBitsPerWord] |= potrace_word(ink[x] != 0) << (kBitsPerWord - 1 - x % kBitsPerWord);
  }
  packed.bitmap.w = source.width;
  packed.bitmap.h = source.height;
  packed.bitmap.dy = dy;
  packed.bitmap.map = packed.words.data();
}

// outlineLength() of the packed raster, a word of pixels at a time; the padding bits
// after a scanline's last pixel are paper.
uint64_t packedOutlineLength(const potrace_bitmap_t& bitmap) {
  uint64_t length = 0;
  const potrace_word* previous = nullptr;
  for (int y = 0; y < bitmap.h; ++y) {
    const potrace_word* scanline = bitmap.map + size_t(y) * size_t(bitmap.dy);
    potrace_word before = 0;  // the pixel left of the word, in its top bit
    for (int i = 0; i < bitmap.dy; ++i) {
      length += std::popcount(scanline[i] ^ ((scanline[i] >> 1) | before));
      length += std::popcount(scanline[i] ^ (previous ? previous[i] : 0));
      before = scanline[i] << (kBitsPerWord - 1);
    }
    length += scanline[bitmap.dy - 1] & 1;  // a last pixel at the word's end meets the border
    previous = scanline;
  }
  for (int i = 0; previous && i < bitmap.dy; ++i) length += std::popcount(previous[i]);
  return length;
}

// potrace point (x, y up from the bottom edge) -> canvas (x, height - y) -> font units.
struct Placement {
  double bitmapHeight;
  Vec2 operator()(const potrace_dpoint_t& p) const {
    return {kUnitsPerPixel * p.x, kUnitsPerPixel * (kBaselineRow - (bitmapHeight - p.y))};
  }
};

struct FloatPoint {
  Vec2 at;
  bool onCurve;
};

// The closed outline of one potrace curve; the start point is the last point.
std::vector<FloatPoint> outlinePoints(const potrace_curve_t& curve, const Placement& place,
                                      double tolerance) {
  std::vector<FloatPoint> points;
  if (curve.n <= 0) return points;
  Vec2 current = place(curve.c[curve.n - 1][2]);
  std::vector<QuadraticBezier> converted, pieces;
  for (int i = 0; i < curve.n; ++i) {
    const potrace_dpoint_t* c = curve.c[i];
    if (curve.tag[i] == POTRACE_CORNER) {
      points.push_back({place(c[1]), true});
    } else {
      converted.clear();
      pieces.clear();
      cubicToQuadratics({current, place(c[0]), place(c[1]), place(c[2])}, tolerance, converted);
      for (const QuadraticBezier& quadratic : converted) splitAtExtrema(quadratic, pieces);
      for (size_t k = 0; k + 1 < pieces.size(); ++k) {
        points.push_back({pieces[k].control, false});
        points.push_back({pieces[k].p2, true});
      }
      points.push_back({pieces.back().control, false});
    }
    current = place(c[2]);
    points.push_back({current, true});
  }
  return points;
}

bool samePlace(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }

// Equal neighbours merge into one on-curve point; this is exact, because a quadratic
// whose control point equals an end point is the straight line between its ends.
Contour roundContour(const std::vector<FloatPoint>& points) {
  Contour contour;
  for (const FloatPoint& p : points) {
    Point rounded{int32_t(std::lrint(p.at.x)), int32_t(std::lrint(p.at.y)), p.onCurve};
    if (!contour.empty() && samePlace(contour.back(), rounded)) {
      contour.back().onCurve = true;
      continue;
    }
    contour.push_back(rounded);
  }
  while (contour.size() > 1 && samePlace(contour.back(), contour.front())) {
    contour.front().onCurve = true;
    contour.pop_back();
  }
  return contour;
}

Vec2 toVec(const Point& p) { return {double(p.x), double(p.y)}; }
Vec2 midpoint(Vec2 a, Vec2 b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }
double cross(Vec2 o, Vec2 a, Vec2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

}  // namespace

// Exact signed area (positive counter-clockwise with y up) of a TrueType contour,
// implied on-curve points included: each quadratic adds 2/3 of the triangle its
// control point makes with the chord.
double contourSignedArea(const Contour& contour) {
  size_t n = contour.size();
  if (n < 2) return 0;
  std::vector<FloatPoint> points;  // with implied on-curve points made explicit
  for (size_t i = 0; i < n; ++i) {
    const Point& p = contour[i];
    const Point& q = contour[(i + 1) % n];
    points.push_back({toVec(p), p.onCurve});
    if (!p.onCurve && !q.onCurve) points.push_back({midpoint(toVec(p), toVec(q)), true});
  }
  auto start = std::find_if(points.begin(), points.end(), [](auto& p) { return p.onCurve; });
  std::rotate(points.begin(), start, points.end());
  double twiceArea = 0;
  Vec2 origin{0, 0};
  for (size_t i = 0; i < points.size();) {
    Vec2 from = points[i].at;
    bool curved = !points[(i + 1) % points.size()].onCurve;
    size_t endIndex = (i + (curved ? 2 : 1)) % points.size();
    Vec2 to = points[endIndex].at;
    twiceArea += cross(origin, from, to);
    if (curved) twiceArea += 2.0 / 3.0 * cross(from, points[i + 1].at, to);
    i += curved ? 2 : 1;
  }
  return twiceArea / 2;
}

uint64_t outlineLength(const InkBitmap& bitmap) {
  if (bitmap.width <= 0 || bitmap.height <= 0) return 0;
  PackedBitmap packed;
  pack(bitmap, packed);
  return packedOutlineLength(packed.bitmap);
}

namespace {

void appendPath(const potrace_path_t& path, const Placement& place, double tolerance,
                std::vector<Contour>& contours) {
  Contour contour = roundContour(outlinePoints(path.curve, place, tolerance));
  if (contour.size() < 3) return;
  double area = contourSignedArea(contour);
  if (std::abs(area) < kMinContourArea) return;
  bool outer = path.sign == '+';
  // Outer contours clockwise (negative area), holes counter-clockwise.
  if ((outer && area > 0) || (!outer && area < 0)) std::reverse(contour.begin(), contour.end());
  contours.push_back(std::move(contour));
}

Status checkInput(const InkBitmap& bitmap, const TraceParameters& parameters) {
  if (bitmap.width <= 0 || bitmap.height <= 0 ||
      bitmap.ink.size() != size_t(bitmap.width) * size_t(bitmap.height))
    return Status::failure("bitmap size does not match its pixels");
  if (parameters.turdSize < 0 || !(parameters.alphaMax >= 0) || !(parameters.optTolerance >= 0) ||
      !(parameters.maxQuadraticError > 0))
    return Status::failure("invalid tracing parameters");
  if (int64_t(bitmap.width) * bitmap.height > kMaxTracedPixels)
    return Status::failure("a bitmap of " + std::to_string(bitmap.width) + " x " + std::to_string(bitmap.height) +
                           " pixels is too large to trace (at most " +
                           std::to_string(kMaxTracedPixels) + " pixels, such as 4096 x 2048)");
  return Status::success();
}

Status checkOutlineLength(const PackedBitmap& packed) {
  if (const uint64_t length = packedOutlineLength(packed.bitmap); length > kMaxOutlineLength)
    return Status::failure("the bitmap's outlines are " + std::to_string(length) +
                           " pixel edges long, too detailed to trace (at most " +
                           std::to_string(kMaxOutlineLength) + ")");
  return Status::success();
}

}  // namespace

Status traceBitmap(const InkBitmap& bitmap, const TraceParameters& parameters,
                   std::vector<Contour>& contours) {
  if (Status input = checkInput(bitmap, parameters); !input) return input;
  PackedBitmap packed;
  pack(bitmap, packed);
  if (Status length = checkOutlineLength(packed); !length) return length;
  std::unique_ptr<potrace_param_t, ParamDeleter> param(potrace_param_default());
  if (!param) return Status::failure("out of memory while tracing");
  param->turdsize = parameters.turdSize;
  param->alphamax = parameters.alphaMax;
  param->opticurve = 1;
  param->opttolerance = parameters.optTolerance;
  std::unique_ptr<potrace_state_t, StateDeleter> state(potrace_trace(param.get(), &packed.bitmap));
  if (!state || state->status != POTRACE_STATUS_OK)
    return Status::failure("tracing the bitmap failed");
  double tolerance = std::max(parameters.maxQuadraticError - kRoundingAllowance,
                              kSmallestCurveTolerance);
  Placement place{double(bitmap.height)};
  std::vector<Contour> traced;
  for (const potrace_path_t* path = state->plist; path; path = path->next)
    appendPath(*path, place, tolerance, traced);
  contours = std::move(traced);
  return Status::success();
}

}  // namespace kernova
