#include "kernova/engine/CubicToQuadratic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace kernova;

namespace {

double distance(Vec2 a, Vec2 b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Distance from p to a curve: each local minimum of `n` samples refined by
// golden-section search between its neighbours (a looping curve passes p twice).
template <typename Curve>
double distanceToCurve(Vec2 p, const Curve& curve, int n) {
  auto at = [&](double t) { return distance(p, curve.at(t)); };
  std::vector<double> d(n + 1);
  for (int i = 0; i <= n; ++i) d[i] = at(double(i) / n);
  double nearest = INFINITY;
  for (int i = 0; i <= n; ++i) {
    if ((i > 0 && d[i - 1] < d[i]) || (i < n && d[i + 1] < d[i])) continue;
    double lo = std::max(0, i - 1) / double(n), hi = std::min(n, i + 1) / double(n);
    for (int step = 0; step < 40; ++step) {
      double a = hi - 0.618034 * (hi - lo), b = lo + 0.618034 * (hi - lo);
      if (at(a) < at(b)) hi = b; else lo = a;
    }
    nearest = std::min(nearest, at((lo + hi) / 2));
  }
  return nearest;
}

}  // namespace

// Every chain runs from the cubic's start to its end without gaps and stays, as a
// shape, within the tolerance of the cubic both ways.
TEST(CubicToQuadratic, RandomCubicsBecomeJoinedChainsWithinTheTolerance) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> coordinate(0, 2048);
  auto point = [&] { return Vec2{coordinate(random), coordinate(random)}; };
  for (int i = 0; i < 150; ++i) {
    const CubicBezier cubic{point(), point(), point(), point()};
    const double tolerance = i % 3 == 0 ? 0.25 : 1.0;
    std::vector<QuadraticBezier> chain;
    cubicToQuadratics(cubic, tolerance, chain);
    ASSERT_FALSE(chain.empty());
    ASSERT_LE(chain.size(), 256u) << "cubic " << i;  // halving converges quickly
    EXPECT_EQ(chain.front().p0, cubic.p0);
    EXPECT_EQ(chain.back().p2, cubic.p3);
    double worst = 0;
    for (size_t k = 0; k < chain.size(); ++k) {
      if (k > 0) {
        EXPECT_EQ(chain[k - 1].p2, chain[k].p0);
      }
      for (int s = 0; s <= 20; ++s) worst = std::max(worst, distanceToCurve(chain[k].at(s / 20.0), cubic, 200));
    }
    for (int s = 0; s <= 200; ++s) {
      double nearest = INFINITY;
      for (const QuadraticBezier& q : chain) nearest = std::min(nearest, distanceToCurve(cubic.at(s / 200.0), q, 16));
      worst = std::max(worst, nearest);
    }
    EXPECT_LE(worst, tolerance) << "cubic " << i;
  }
}

TEST(CubicToQuadratic, RaisedQuadraticComesBackAsOnePiece) {
  // The cubic form of the quadratic (0,0) (100,200) (200,0).
  std::vector<QuadraticBezier> chain;
  cubicToQuadratics({{0, 0}, {200.0 / 3, 400.0 / 3}, {400.0 / 3, 400.0 / 3}, {200, 0}}, 0.1, chain);
  ASSERT_EQ(chain.size(), 1u);
  EXPECT_NEAR(distance(chain[0].control, {100, 200}), 0, 1e-9);
}

// Cutting at the turning points keeps the curve: every piece lies on the original, and
// the pieces meet where x or y turns.
TEST(SplitAtExtrema, PiecesLieOnTheCurveAndEndWhereItTurns) {
  const QuadraticBezier curve{{0, 0}, {120, 120}, {100, -40}};  // y turns at t = 3/7, x at 6/7
  std::vector<QuadraticBezier> pieces;
  splitAtExtrema(curve, pieces);
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_NEAR(distance(pieces[0].p2, curve.at(3.0 / 7)), 0, 1e-9);
  EXPECT_NEAR(distance(pieces[1].p2, curve.at(6.0 / 7)), 0, 1e-9);
  for (const QuadraticBezier& piece : pieces)
    for (double t : {0.25, 0.5, 0.75}) EXPECT_LT(distanceToCurve(piece.at(t), curve, 64), 1e-6) << t;
}
