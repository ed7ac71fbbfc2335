#include "kernova/engine/CubicToQuadratic.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace kernova {
namespace {

Vec2 lerp(Vec2 a, Vec2 b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// Halving the parameter range shrinks the error about eightfold, so this depth is never
// reached by curves of sane size; it only bounds the work on absurd input.
constexpr int kMaxDepth = 16;
// A turn this close to an end is taken to be at the end: the piece it would cut off is
// far below a font unit on any curve of sane size.
constexpr double kInsideMargin = 1e-9;

// The quadratic whose control point is the mean of the two control-point estimates
// 3/2 P1 - 1/2 P0 and 3/2 P2 - 1/2 P3.
QuadraticBezier midpointQuadratic(const CubicBezier& c) {
  Vec2 control{(3 * (c.p1.x + c.p2.x) - c.p0.x - c.p3.x) / 4,
               (3 * (c.p1.y + c.p2.y) - c.p0.y - c.p3.y) / 4};
  return {c.p0, control, c.p3};
}

// de Casteljau split at t = 1/2.
std::pair<CubicBezier, CubicBezier> splitHalf(const CubicBezier& c) {
  Vec2 a = lerp(c.p0, c.p1, 0.5), b = lerp(c.p1, c.p2, 0.5), d = lerp(c.p2, c.p3, 0.5);
  Vec2 ab = lerp(a, b, 0.5), bd = lerp(b, d, 0.5);
  Vec2 mid = lerp(ab, bd, 0.5);
  return {{c.p0, a, ab, mid}, {mid, bd, d, c.p3}};
}

void convert(const CubicBezier& cubic, double tolerance, int depth,
             std::vector<QuadraticBezier>& out) {
  QuadraticBezier quadratic = midpointQuadratic(cubic);
  if (depth >= kMaxDepth || sampledDeviation(cubic, quadratic) <= tolerance) {
    out.push_back(quadratic);
    return;
  }
  auto [first, second] = splitHalf(cubic);
  convert(first, tolerance, depth + 1, out);
  convert(second, tolerance, depth + 1, out);
}

// The parameter strictly inside (0, 1) where the coordinate a -> b -> c turns, if any.
std::optional<double> turningParameter(double a, double b, double c) {
  const double denominator = a - 2 * b + c;
  if (denominator == 0) return std::nullopt;
  const double t = (a - b) / denominator;
  if (!(t > kInsideMargin && t < 1 - kInsideMargin)) return std::nullopt;
  return t;
}

void clampControlToEnds(QuadraticBezier& q) {
  q.control.x = std::clamp(q.control.x, std::min(q.p0.x, q.p2.x), std::max(q.p0.x, q.p2.x));
  q.control.y = std::clamp(q.control.y, std::min(q.p0.y, q.p2.y), std::max(q.p0.y, q.p2.y));
}

// de Casteljau split at t.
std::pair<QuadraticBezier, QuadraticBezier> split(const QuadraticBezier& q, double t) {
  Vec2 a = lerp(q.p0, q.control, t), b = lerp(q.control, q.p2, t);
  Vec2 cut = lerp(a, b, t);
  return {{q.p0, a, cut}, {cut, b, q.p2}};
}

}  // namespace

void splitAtExtrema(const QuadraticBezier& quadratic, std::vector<QuadraticBezier>& out) {
  std::vector<double> cuts;
  for (auto t : {turningParameter(quadratic.p0.x, quadratic.control.x, quadratic.p2.x),
                 turningParameter(quadratic.p0.y, quadratic.control.y, quadratic.p2.y)})
    if (t) cuts.push_back(*t);
  std::sort(cuts.begin(), cuts.end());
  const size_t first = out.size();
  QuadraticBezier rest = quadratic;
  double done = 0;  // the parameter of the original curve where `rest` starts
  for (double t : cuts) {
    if (t - done <= kInsideMargin) continue;  // x and y turn at the same point
    auto [piece, after] = split(rest, (t - done) / (1 - done));
    out.push_back(piece);
    rest = after;
    done = t;
  }
  out.push_back(rest);
  // Each piece is monotone; clamping only removes the floating-point noise of the cuts,
  // which could otherwise leave a turn a hair inside a piece.
  for (size_t i = first; i < out.size(); ++i) clampControlToEnds(out[i]);
}

Vec2 CubicBezier::at(double t) const {
  double u = 1 - t;
  double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
  return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}

Vec2 QuadraticBezier::at(double t) const {
  double u = 1 - t;
  double a = u * u, b = 2 * u * t, c = t * t;
  return {a * p0.x + b * control.x + c * p2.x, a * p0.y + b * control.y + c * p2.y};
}

double sampledDeviation(const CubicBezier& cubic, const QuadraticBezier& quadratic, int samples) {
  double worstSquared = 0;  // one square root in the end: std::hypot costs as much as the rest
  for (int i = 0; i <= samples; ++i) {
    double t = double(i) / samples;
    Vec2 a = cubic.at(t), b = quadratic.at(t);
    worstSquared = std::max(worstSquared, (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
  }
  return std::sqrt(worstSquared);
}

void cubicToQuadratics(const CubicBezier& cubic, double tolerance,
                       std::vector<QuadraticBezier>& out) {
  convert(cubic, tolerance, 0, out);
}

}  // namespace kernova
