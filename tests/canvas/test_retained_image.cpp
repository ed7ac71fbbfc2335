// The retained picture's rasteriser: round dots and capsule segments and clipping.
// Replay giving the live pixels is the brush engine test's.
#include <gtest/gtest.h>

#include <cmath>

#include "canvas/RetainedImage.h"

namespace {

constexpr uint32_t kInk = 0xFF000000u;

double distanceToSegment(double px, double py, double x0, double y0, double x1, double y1) {
  const double dx = x1 - x0, dy = y1 - y0, l2 = dx * dx + dy * dy;
  double t = l2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / l2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

// A segment of no length is a round dot.
TEST(RetainedImageSegments, CoverExactlyThePointsWithinHalfTheWidth) {
  const double segments[][4] = {{10, 10, 90, 30}, {50, 80, 52, 5}, {5, 60, 95, 60}, {20, 20, 20, 20}};
  for (int width : {1, 2, 7, 16}) {
    for (const auto& s : segments) {
      RetainedImage picture(100, 100);
      picture.setDrawWidth(width);
      picture.dot(s[0], s[1]);
      picture.lineTo(s[2], s[3]);
      for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
          const double d = distanceToSegment(x, y, s[0], s[1], s[2], s[3]);
          if (std::abs(d - width / 2.0) < 1e-6) continue;  // on the boundary
          ASSERT_EQ(picture.image().pixel(x, y) == kInk, d < width / 2.0)
              << "width " << width << " pixel " << x << "," << y;
        }
    }
  }
}

TEST(RetainedImageSegments, ClipAtTheEdgesAndMarkOnlyWhatChanged) {
  RetainedImage picture(50, 50);
  picture.takeDirty();
  picture.setDrawWidth(10);
  picture.dot(-100, 25);
  EXPECT_TRUE(picture.takeDirty().isEmpty());
  picture.lineTo(200, 25);
  EXPECT_EQ(picture.takeDirty(), QRect(0, 20, 50, 11));
  RetainedImage band(50, 50);
  band.fillRect(0, 20, 49, 30, colours::Black);
  EXPECT_EQ(picture.image(), band.image());
}

// A segment skips the pixels of the disc the previous one ended with, but only while
// that disc is on the picture in full: not after a narrower end, nor once the picture
// was cleared, filled or copied over.
TEST(RetainedImageSegments, AJointIsWholeWhateverCameBefore) {
  RetainedImage expected(100, 100);
  expected.setDrawWidth(12);
  expected.dot(30, 40);
  expected.lineTo(70, 40);
  struct Case { const char* name; int dotWidth; void (*between)(RetainedImage&); };
  for (const Case& c : {Case{"narrower end", 4, [](RetainedImage&) {}},
                        Case{"cleared", 12, [](RetainedImage& p) { p.clear(); }},
                        Case{"filled", 12, [](RetainedImage& p) { p.fillRect(0, 0, 99, 99, colours::SystemWindow); }},
                        Case{"copied over", 12, [](RetainedImage& p) { p.copyFrom(RetainedImage(100, 100)); }}}) {
    RetainedImage picture(100, 100);
    picture.setDrawWidth(c.dotWidth);
    picture.dot(30, 40);
    c.between(picture);
    picture.setDrawWidth(12);
    picture.lineTo(70, 40);
    EXPECT_EQ(picture.image(), expected.image()) << c.name;
  }
}

}  // namespace
