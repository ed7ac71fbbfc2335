#include "kernova/engine/CubicToQuadratic.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kernova {
namespace {

Vec2 lerp(Vec2 a, Vec2 b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// Halving the parameter range shrinks the error about eightfold, so this depth is never
// reached by curves of sane size; it only bounds the work on absurd input.
constexpr int kMaxDepth = 16;

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

}  // namespace

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
  double worst = 0;
  for (int i = 0; i <= samples; ++i) {
    double t = double(i) / samples;
    Vec2 a = cubic.at(t), b = quadratic.at(t);
    worst = std::max(worst, std::hypot(a.x - b.x, a.y - b.y));
  }
  return worst;
}

void cubicToQuadratics(const CubicBezier& cubic, double tolerance,
                       std::vector<QuadraticBezier>& out) {
  convert(cubic, tolerance, 0, out);
}

}  // namespace kernova
