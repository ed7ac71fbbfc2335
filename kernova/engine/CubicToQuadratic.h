#pragma once
// Approximating cubic Bézier segments by chains of quadratic ones (TrueType curves).
#include <vector>

namespace kernova {

struct Vec2 {
  double x = 0;
  double y = 0;
  friend bool operator==(const Vec2&, const Vec2&) = default;
};

struct CubicBezier {
  Vec2 p0, p1, p2, p3;
  Vec2 at(double t) const;
};

struct QuadraticBezier {
  Vec2 p0, control, p2;
  Vec2 at(double t) const;
};

// Largest distance between the cubic and the quadratic at equal parameters, sampled
// at `samples` + 1 evenly spaced values of t. Distance at equal t bounds the distance
// between the two curves as shapes from above.
double sampledDeviation(const CubicBezier& cubic, const QuadraticBezier& quadratic,
                        int samples = 32);

// Appends quadratics that together run from cubic.p0 to cubic.p3, each within
// `tolerance` of the part of the cubic it replaces (by sampledDeviation), splitting
// the cubic in halves until they fit. Consecutive pieces share their end points.
void cubicToQuadratics(const CubicBezier& cubic, double tolerance,
                       std::vector<QuadraticBezier>& out);

// Appends the quadratic cut at every parameter strictly inside it where x or y turns,
// so each piece runs monotonically in x and in y: its control point lies within the
// box of its ends, and the box of the points is the box of the curve. The cuts are
// exact; the pieces together are the same curve.
void splitAtExtrema(const QuadraticBezier& quadratic, std::vector<QuadraticBezier>& out);

}  // namespace kernova
