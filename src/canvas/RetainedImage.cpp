#include "canvas/RetainedImage.h"

#include <algorithm>
#include <cmath>

namespace {

// Narrows [uMin, uMax] to the u with lo <= a*u <= hi. False when nothing is left.
bool narrow(double a, double lo, double hi, double& uMin, double& uMax) {
  if (a > 0) {
    uMin = std::max(uMin, lo / a);
    uMax = std::min(uMax, hi / a);
  } else if (a < 0) {
    uMin = std::max(uMin, hi / a);
    uMax = std::min(uMax, lo / a);
  } else if (lo > 0 || hi < 0) {
    return false;
  }
  return uMin <= uMax;
}

// A pixel index from a coordinate, clamped to [-1, size] so far-off (or infinite)
// coordinates convert without overflow.
int toPixel(double v, int size) { return int(std::clamp(v, -1.0, double(size))); }

// Widens [lo, hi] by the chord of a disc of radius r centred (cx, cy) on row y.
void addDiscChord(double cx, double cy, double r, double y, double& lo, double& hi) {
  const double dy = y - cy;
  const double h2 = r * r - dy * dy;
  if (h2 < 0) return;
  const double h = std::sqrt(h2);
  lo = std::min(lo, cx - h);
  hi = std::max(hi, cx + h);
}

}  // namespace

RetainedImage::RetainedImage(int width, int height, Colour background)
    : m_image(width, height, QImage::Format_RGB32), m_backColor(background) {
  clear();
}

void RetainedImage::clear() {
  m_endDisc.valid = false;
  m_image.fill(colours::toArgb(m_backColor));
  markDirty(m_image.rect());
}

void RetainedImage::setDrawWidth(int width) { m_drawWidth = std::max(1, width); }

void RetainedImage::setForeColor(Colour colour) {
  m_foreColor = colour;
  m_foreArgb = colours::toArgb(colour);
}

void RetainedImage::dot(double x, double y) {
  m_curX = x;
  m_curY = y;
  fillCapsule(x, y, x, y);
}

void RetainedImage::lineTo(double x, double y) {
  fillCapsule(m_curX, m_curY, x, y);
  m_curX = x;
  m_curY = y;
}

// Fills every pixel whose centre lies within drawWidth / 2 of the segment: a capsule,
// convex, so each row is one span (the hull of the body's and the two end discs' spans).
// Pixels inside the disc the previous operation ended with at the start point are
// already this colour and are skipped, so a stroke of many short wide segments costs
// its new pixels, not its whole area, per segment; the result is the same.
void RetainedImage::fillCapsule(double x0, double y0, double x1, double y1) {
  const double r = m_drawWidth / 2.0 + 1e-9;
  const double ddx = x1 - x0, ddy = y1 - y0;
  const double len = std::sqrt(ddx * ddx + ddy * ddy);
  const double len2 = len * len, rLen = r * len;
  const bool skipStart = m_endDisc.valid && m_endDisc.x == x0 && m_endDisc.y == y0 &&
                         m_endDisc.argb == m_foreArgb;
  const double skipR = m_endDisc.radius;
  m_endDisc = {true, x1, y1, r, m_foreArgb};
  const int w = m_image.width(), h = m_image.height();
  const int top = std::max(0, toPixel(std::ceil(std::min(y0, y1) - r), h));
  const int bottom = std::min(h - 1, toPixel(std::floor(std::max(y0, y1) + r), h));
  if (top > bottom) return;
  auto* bits = reinterpret_cast<uint32_t*>(m_image.bits());
  const qsizetype stride = m_image.bytesPerLine() / 4;
  int minX = w, maxX = -1;
  for (int y = top; y <= bottom; ++y) {
    double lo0 = HUGE_VAL, hi0 = -HUGE_VAL;
    addDiscChord(x0, y0, r, y, lo0, hi0);
    double lo = lo0, hi = hi0;
    addDiscChord(x1, y1, r, y, lo, hi);
    if (len > 0) {
      const double ry = y - y0;
      double uMin = -HUGE_VAL, uMax = HUGE_VAL;
      if (narrow(ddx, -ry * ddy, len2 - ry * ddy, uMin, uMax) &&
          narrow(ddy, ry * ddx - rLen, ry * ddx + rLen, uMin, uMax)) {
        lo = std::min(lo, x0 + uMin);
        hi = std::max(hi, x0 + uMax);
      }
    }
    if (lo > hi) continue;
    const int a = std::max(0, toPixel(std::ceil(lo), w));
    const int b = std::min(w - 1, toPixel(std::floor(hi), w));
    if (a > b) continue;
    uint32_t* row = bits + stride * y;
    double skipLo = lo0, skipHi = hi0;
    if (!skipStart) {
      skipLo = HUGE_VAL;
      skipHi = -HUGE_VAL;
    } else if (skipR != r) {
      skipLo = HUGE_VAL;
      skipHi = -HUGE_VAL;
      addDiscChord(x0, y0, skipR, y, skipLo, skipHi);
    }
    const int c = std::max(a, toPixel(std::ceil(skipLo), w));
    const int d = std::min(b, toPixel(std::floor(skipHi), w));
    if (c > d) {
      std::fill(row + a, row + b + 1, m_foreArgb);
    } else {
      std::fill(row + a, row + c, m_foreArgb);
      std::fill(row + d + 1, row + b + 1, m_foreArgb);
    }
    minX = std::min(minX, a);
    maxX = std::max(maxX, b);
  }
  if (maxX >= minX) markDirty(QRect(QPoint(minX, top), QPoint(maxX, bottom)));
}

void RetainedImage::fillRect(int left, int top, int right, int bottom, Colour colour) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width() - 1);
  bottom = std::min(bottom, height() - 1);
  if (left > right || top > bottom) return;
  m_endDisc.valid = false;
  const uint32_t argb = colours::toArgb(colour);
  for (int y = top; y <= bottom; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(m_image.scanLine(y));
    std::fill(row + left, row + right + 1, argb);
  }
  markDirty(QRect(QPoint(left, top), QPoint(right, bottom)));
}

void RetainedImage::horizontalLine(int x0, int x1, double y, Colour colour) {
  const int row = int(std::nearbyint(y));
  fillRect(x0, row, x1 - 1, row, colour);
}

void RetainedImage::copyFrom(const RetainedImage& other) {
  m_image = other.m_image.copy();
  m_endDisc.valid = false;
  markDirty(m_image.rect());
}

QRect RetainedImage::takeDirty() {
  const QRect dirty = m_dirty;
  m_dirty = QRect();
  return dirty;
}
