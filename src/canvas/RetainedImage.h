#pragma once
// The retained image of a picture box: an RGB32 QImage that every drawing operation
// goes into (aliased; round caps and joins). Tracks the rectangle changed since the
// last takeDirty() so the widget repaints only that.
#include <QImage>
#include <QRect>

#include "brush/Surface.h"

class RetainedImage final : public Surface {
 public:
  RetainedImage(int width, int height, Colour background = colours::SystemWindow);

  int width() const { return m_image.width(); }
  int height() const { return m_image.height(); }
  const QImage& image() const { return m_image; }
  // Callers that write through this must markDirty().
  QImage& image() {
    m_endDisc.valid = false;
    return m_image;
  }

  Colour backColor() const { return m_backColor; }
  void setBackColor(Colour colour) { m_backColor = colour; }
  void clear();  // fills with the back colour

  int drawWidth() const override { return m_drawWidth; }
  void setDrawWidth(int width) override;
  Colour foreColor() const override { return m_foreColor; }
  void setForeColor(Colour colour) override;
  void dot(double x, double y) override;
  void lineTo(double x, double y) override;

  // Inclusive pixel rectangle fill, clipped to the image.
  void fillRect(int left, int top, int right, int bottom, Colour colour);
  // One-pixel horizontal line from x0 to x1 (exclusive) on row round(y).
  void horizontalLine(int x0, int x1, double y, Colour colour);
  void copyFrom(const RetainedImage& other);

  void markDirty(const QRect& rect) { m_dirty |= rect; }
  QRect takeDirty();

 private:
  void fillCapsule(double x0, double y0, double x1, double y1);

  // The round end the last dot or segment left at the current point. A segment that
  // starts there skips the pixels of that disc: they hold its ink already.
  struct EndDisc {
    bool valid = false;
    double x = 0, y = 0, radius = 0;
    uint32_t argb = 0;
  };
  EndDisc m_endDisc;

  QImage m_image;
  Colour m_backColor;
  Colour m_foreColor = colours::Black;
  uint32_t m_foreArgb = 0xFF000000;
  int m_drawWidth = 1;
  double m_curX = 0;
  double m_curY = 0;
  QRect m_dirty;
};
