#pragma once
// What the brush engine and the stroke replay draw on: a picture with a current pen
// width, ink colour and drawing point, in pixels of its drawing area. The window's is
// the retained image (canvas/RetainedImage.h); tests record the calls instead.
#include "canvas/Colour.h"

class Surface {
 public:
  virtual ~Surface() = default;

  virtual int drawWidth() const = 0;
  virtual void setDrawWidth(int width) = 0;  // widths below 1 draw as 1
  virtual Colour foreColor() const = 0;
  virtual void setForeColor(Colour colour) = 0;

  // A filled round dot of diameter drawWidth centred on (x, y); the point becomes the
  // current drawing point.
  virtual void dot(double x, double y) = 0;
  // A straight line of width drawWidth with round ends from the current drawing
  // point to (x, y), which becomes the current drawing point.
  virtual void lineTo(double x, double y) = 0;
};
