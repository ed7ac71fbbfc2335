#pragma once
// Turns the canvas's pointer events into brush traces. Works on plain values
// (buttons, modifier bits, pen values, a random source) and draws through a Surface,
// so a stroke replays exactly and is tested without a display.
#include <cstdint>

#include "platform/Colour.h"
#include "strokes/StrokeLog.h"

class Surface;

namespace brush {

// Mouse buttons and modifier keys as bit sets.
enum Buttons { LeftButton = 1, RightButton = 2, MiddleButton = 4 };
enum Modifiers { ShiftKey = 1, CtrlKey = 2, AltKey = 4 };

struct PenValues {
  int32_t cursor = 0;    // 0: no pen (mouse mode)
  int32_t pressure = 0;  // out of 1024
  int32_t altitude = 0;  // negative: the pen is held inverted
};

struct BrushOptions {
  bool sumiro = true;     // CheckSumiro ticked
  bool mouseMode = false; // CheckMouseMode ticked
  int32_t bmin = 1;
  int32_t bmax = 20;
};

// What the brush needs from the window around it.
class BrushHost {
 public:
  virtual ~BrushHost() = default;
  virtual void readTabletPackets() = 0;  // may change the canvas's draw width
  virtual PenValues penValues() const = 0;
  virtual BrushOptions brushOptions() const = 0;
  // Logs the record and shows the new count in LabelStatus.
  virtual void appendStrokeRecord(StrokeKind kind, int32_t x, int32_t y, int32_t width) = 0;
  virtual void strokeStarted() = 0;  // a pen-down: the canvas is no longer "just cleared"
  virtual int pressureBarWidth() const = 0;
  virtual void drawPressureBar(int position, Colour colour) = 0;
  virtual void clearPressureBar() = 0;
  virtual void setMouseIndicator(Colour colour) = 0;
};

// Uniform numbers in [0, 1) for the fraying of wide tails.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual double next() = 0;
};

class BrushEngine {
 public:
  BrushEngine(Surface& canvas, BrushHost& host, RandomSource& random)
      : m_canvas(canvas), m_host(host), m_random(random) {}

  void mouseDown(int button, int shift, float x, float y);
  void mouseMove(int button, int shift, float x, float y);
  void mouseUp(int button, int shift, float x, float y);
  // One step of the mouse-mode width clock (every 25 ms, and at each mouse-mode move).
  void mouseWidthTick();
  // Moves prevw one step toward targetw without overshooting it.
  void updateW(double step);

  bool strokeActive() const { return m_strokeActive; }
  bool mouseDrawing() const { return m_mouseDrawing; }
  int16_t mouseWidth() const { return m_mouseWidth; }
  double prevw() const { return m_prevw; }
  double targetw() const { return m_targetw; }

 private:
  Colour chooseInk(bool mouseMode, int button, int shift) const;
  void drawTail(float x, float y);
  void logRecord(StrokeKind kind, int32_t x, int32_t y, int32_t width);
  void drawPressureMeter();

  Surface& m_canvas;
  BrushHost& m_host;
  RandomSource& m_random;

  bool m_strokeActive = false;
  int32_t m_lastX = 0, m_lastY = 0;
  int32_t m_dx = 0, m_dy = 0;
  double m_prevw = 1.0;
  double m_targetw = 1.0;
  bool m_mouseDrawing = false;
  bool m_pointerStill = false;
  int16_t m_mouseWidth = 1;
};

}  // namespace brush
