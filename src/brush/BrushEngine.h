#pragma once
// Turns the canvas's pen samples into brush traces. The engine is handed its inputs as
// values (pen samples with their time, the brush options, a random source) and draws on
// a Surface, so live input, stroke replay and tests drive it the same way. What it
// produces besides pixels (the stroke record, the meter and indicator) goes to a
// BrushHost.
#include <cstdint>

#include "canvas/Colour.h"
#include "strokes/StrokeLog.h"

class Surface;

namespace brush {

// Mouse buttons and modifier keys as bit sets.
enum Buttons { LeftButton = 1, RightButton = 2, MiddleButton = 4 };
enum Modifiers { ShiftKey = 1, CtrlKey = 2, AltKey = 4 };

// The pointer and the pen at one event. The pen values are those of the newest tablet
// reading; `read` says whether this event took one. Without an open tablet context no
// reading is taken and the values are the last ones kept (0 from the start: mouse mode).
struct PenSample {
  float x = 0, y = 0;    // canvas pixels
  int buttons = 0;       // Buttons bits
  int modifiers = 0;     // Modifiers bits
  int32_t cursor = 0;    // 0: no pen (mouse mode)
  int32_t pressure = 0;  // out of 1024
  int32_t altitude = 0;  // negative: the pen is held inverted
  bool read = false;
  int64_t time = 0;  // milliseconds on the caller's clock
};

struct BrushOptions {
  bool sumiro = true;      // CheckSumiro ticked
  bool mouseMode = false;  // CheckMouseMode ticked
  int32_t bmin = 1;
  int32_t bmax = 20;
};

// Where the brush's results go besides the canvas.
class BrushHost {
 public:
  virtual ~BrushHost() = default;
  // Logs the record (the window also shows the new count in LabelStatus).
  virtual void appendStrokeRecord(StrokeKind kind, int32_t x, int32_t y, int32_t width) = 0;
  // The pressure meter: filled up to `position` in `colour`, white beyond.
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
  // `meterWidth`: the pressure meter's width in pixels, which its positions are shares of.
  BrushEngine(Surface& canvas, BrushHost& host, RandomSource& random, int meterWidth)
      : m_canvas(canvas), m_host(host), m_random(random), m_meterWidth(meterWidth) {}

  // The check boxes and width limits as they stand; every later event reads them.
  void setOptions(const BrushOptions& options) { m_options = options; }

  void down(const PenSample& pen);  // a button goes down on the canvas
  void move(const PenSample& pen);  // the pointer moves over the canvas
  void up(const PenSample& pen);    // a button is released over the canvas
  // The pen moves off the canvas: only its reading is taken, so the width follows it.
  void follow(const PenSample& pen);
  // One step of the mouse-mode width clock (Timer1, every 25 ms). Each mouse-mode move
  // runs one more step of its own.
  void tick(int64_t time);
  // Moves prevw one step toward targetw without overshooting it.
  void updateW(double step);

  bool strokeActive() const { return m_strokeActive; }
  bool mouseDrawing() const { return m_mouseDrawing; }
  int16_t mouseWidth() const { return m_mouseWidth; }
  double targetw() const { return m_targetw; }
  // The time of the newest input. No rule reads the clock: widths change per event and
  // per tick, so a sequence replays the same whatever its timing.
  int64_t time() const { return m_time; }

 private:
  void takeReading(const PenSample& pen);
  void widthClockStep();
  Colour chooseInk(bool mouseMode, const PenSample& pen) const;
  void drawTail(float x, float y);
  void logRecord(StrokeKind kind, int32_t x, int32_t y, int32_t width);
  void drawPressureMeter(int32_t pressure);

  Surface& m_canvas;
  BrushHost& m_host;
  RandomSource& m_random;
  int m_meterWidth;
  BrushOptions m_options;
  int64_t m_time = 0;

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
