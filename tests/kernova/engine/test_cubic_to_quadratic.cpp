#include "kernova/engine/CubicToQuadratic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using kernova::CubicBezier;
using kernova::cubicToQuadratics;
using kernova::QuadraticBezier;
using kernova::Vec2;

namespace {

double distance(Vec2 a, Vec2 b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Distance from p to a parametric curve: every local minimum of the samples refined by
// golden-section search between that sample's neighbours (a looping curve passes p
// more than once).
template <typename Curve>
double distanceToCurve(Vec2 p, const Curve& curve, int kSamples) {
  std::vector<double> coarse(kSamples + 1);
  for (int i = 0; i <= kSamples; ++i) coarse[i] = distance(p, curve.at(double(i) / kSamples));
  double nearest = *std::min_element(coarse.begin(), coarse.end());
  const double ratio = (std::sqrt(5.0) - 1) / 2;
  for (int i = 0; i <= kSamples; ++i) {
    if ((i > 0 && coarse[i - 1] < coarse[i]) || (i < kSamples && coarse[i + 1] < coarse[i]))
      continue;
    double lo = std::max(0, i - 1) / double(kSamples), hi = std::min(kSamples, i + 1) / double(kSamples);
    for (int step = 0; step < 40; ++step) {
      double a = hi - ratio * (hi - lo), b = lo + ratio * (hi - lo);
      if (distance(p, curve.at(a)) < distance(p, curve.at(b))) hi = b; else lo = a;
    }
    nearest = std::min(nearest, distance(p, curve.at((lo + hi) / 2)));
  }
  return nearest;
}

// Two-sided distance between the cubic and the chain, measured as shapes, independent
// of how the converter parametrises its pieces.
double hausdorff(const CubicBezier& cubic, const std::vector<QuadraticBezier>& chain) {
  double worst = 0;
  for (const QuadraticBezier& q : chain) {
    for (int i = 0; i <= 20; ++i) worst = std::max(worst, distanceToCurve(q.at(i / 20.0), cubic, 200));
  }
  for (int i = 0; i <= 200; ++i) {
    Vec2 p = cubic.at(i / 200.0);
    double nearest = INFINITY;
    for (const QuadraticBezier& q : chain) nearest = std::min(nearest, distanceToCurve(p, q, 16));
    worst = std::max(worst, nearest);
  }
  return worst;
}

CubicBezier randomCubic(std::mt19937& random, double extent) {
  std::uniform_real_distribution<double> coordinate(0, extent);
  auto point = [&] { return Vec2{coordinate(random), coordinate(random)}; };
  return {point(), point(), point(), point()};
}

}  // namespace

// Every chain runs from the cubic's start to its end without gaps and stays within
// the tolerance of the cubic as a shape.
TEST(CubicToQuadratic, RandomCubicsBecomeJoinedChainsWithinTheTolerance) {
  std::mt19937 random(7);
  for (int i = 0; i < 300; ++i) {
    CubicBezier cubic = randomCubic(random, 2048);
    double tolerance = i % 3 == 0 ? 0.25 : 1.0;
    std::vector<QuadraticBezier> chain;
    cubicToQuadratics(cubic, tolerance, chain);
    ASSERT_FALSE(chain.empty());
    EXPECT_EQ(chain.front().p0, cubic.p0);
    EXPECT_EQ(chain.back().p2, cubic.p3);
    for (size_t k = 0; k + 1 < chain.size(); ++k) EXPECT_EQ(chain[k].p2, chain[k + 1].p0);
    EXPECT_LE(hausdorff(cubic, chain), tolerance) << "cubic " << i;
  }
}

TEST(CubicToQuadratic, RaisedQuadraticComesBackAsOnePiece) {
  // The cubic form of the quadratic (0,0) (100,200) (200,0).
  CubicBezier cubic{{0, 0}, {200.0 / 3, 400.0 / 3}, {400.0 / 3, 400.0 / 3}, {200, 0}};
  std::vector<QuadraticBezier> chain;
  cubicToQuadratics(cubic, 0.1, chain);
  ASSERT_EQ(chain.size(), 1u);
  EXPECT_NEAR(chain[0].control.x, 100, 1e-9);
  EXPECT_NEAR(chain[0].control.y, 200, 1e-9);
}

TEST(CubicToQuadratic, TighterToleranceTakesMorePieces) {
  CubicBezier s{{0, 0}, {1000, 0}, {0, 1000}, {1000, 1000}};
  std::vector<QuadraticBezier> loose, tight;
  cubicToQuadratics(s, 1.0, loose);
  cubicToQuadratics(s, 0.1, tight);
  EXPECT_GT(loose.size(), 1u);
  EXPECT_GT(tight.size(), loose.size());
  EXPECT_LE(hausdorff(s, tight), 0.1);
}
