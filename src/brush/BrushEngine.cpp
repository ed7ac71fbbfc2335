#include "brush/BrushEngine.h"

#include <algorithm>
#include <cmath>

#include "brush/Surface.h"
#include "common/Rounding.h"
#include "input/PacketTracker.h"

namespace brush {

namespace {
// The width factor moves more slowly for wide brushes.
double factorStep(int base) {
  if (base > 100) return 0.025;
  if (base > 50) return 0.05;
  return 0.1;
}
}  // namespace

void BrushEngine::logRecord(StrokeKind kind, int32_t x, int32_t y, int32_t width) {
  m_host.appendStrokeRecord(kind, x, y, width);
}

void BrushEngine::drawPressureMeter(int32_t pressure) {
  const int position = roundEven(double(m_meterWidth) * pressure / 1024.0);
  m_host.drawPressureBar(position, colours::Blue);
}

// Taken where the packets were read at each event, and nowhere else: the pen-up tail,
// for one, is drawn from the width before the release's reading.
void BrushEngine::takeReading(const PenSample& pen) {
  m_time = pen.time;
  if (!pen.read) return;
  const int32_t width = input::pressureWidth(m_options.bmin, m_options.bmax, pen.pressure);
  m_canvas.setDrawWidth(input::nextDrawWidth(m_canvas.drawWidth(), width));
}

// Mouse mode: black for the left button alone, unless "Mouse Mode" is ticked and the
// modifier keys disagree with the pen's end. Tablet mode: grey when exactly one of
// "a modifier is down" and "the pen is inverted" holds.
Colour BrushEngine::chooseInk(bool mouseMode, const PenSample& pen) const {
  const bool inverted = pen.altitude < 0;
  const bool modified = pen.modifiers != 0;
  if (mouseMode) {
    const bool penAgrees = modified == inverted;
    const bool black = pen.buttons == LeftButton && (!m_options.mouseMode || penAgrees);
    return black ? colours::Black : colours::LightGreyInk;
  }
  return modified != inverted ? colours::LightGreyInk : colours::Black;
}

void BrushEngine::down(const PenSample& pen) {
  m_strokeActive = true;
  takeReading(pen);
  const bool mouseMode = pen.cursor == 0 || m_options.mouseMode;
  m_mouseDrawing = mouseMode;
  m_dx = m_dy = 0;
  if (mouseMode) {
    m_mouseWidth = int16_t(m_options.bmin);
    m_pointerStill = true;
    m_canvas.setDrawWidth(m_mouseWidth);
    m_host.setMouseIndicator(colours::Red);
  } else {
    m_host.setMouseIndicator(colours::White);
    drawPressureMeter(pen.pressure);
  }
  const Colour ink = chooseInk(mouseMode, pen);
  m_canvas.setForeColor(ink);
  m_canvas.dot(pen.x, pen.y);
  m_lastX = roundEven(pen.x);
  m_lastY = roundEven(pen.y);
  m_prevw = 1.0;
  m_targetw = 1.0;
  logRecord(ink == colours::Black ? StrokeKind::Begin : StrokeKind::BeginGrey, m_lastX, m_lastY,
            m_canvas.drawWidth());
}

void BrushEngine::move(const PenSample& pen) {
  const float x = pen.x, y = pen.y;
  m_dx = roundEven(double(x) - m_lastX);
  m_dy = roundEven(double(y) - m_lastY);
  if (m_mouseDrawing) {
    m_pointerStill = false;
    widthClockStep();
  }
  takeReading(pen);
  if (m_mouseDrawing) {
    m_canvas.setDrawWidth(m_mouseWidth);
  } else {
    drawPressureMeter(pen.pressure);
  }
  if (!m_strokeActive) return;

  const int base = m_canvas.drawWidth();
  const double ax = std::abs(m_lastX - double(x)), ay = std::abs(m_lastY - double(y));
  if (ay >= ax) {
    m_targetw = 1.0;
  } else if (m_options.sumiro) {
    m_targetw = 1.4;
  }
  updateW(factorStep(base));
  m_canvas.setDrawWidth(roundEven(base * m_prevw));
  m_canvas.lineTo(x, y);
  logRecord(StrokeKind::Line, roundEven(x), roundEven(y), m_canvas.drawWidth());
  m_canvas.setDrawWidth(base);
  m_lastX = roundEven(x);
  m_lastY = roundEven(y);
}

void BrushEngine::follow(const PenSample& pen) { takeReading(pen); }

// A sum of steps that misses the target by rounding error alone counts as reaching it,
// so the factor takes exactly (target - start) / step moves.
void BrushEngine::updateW(double step) {
  constexpr double kSnap = 1e-9;
  if (m_prevw < m_targetw) {
    m_prevw = m_prevw + step;
    if (m_prevw > m_targetw - kSnap) m_prevw = m_targetw;
  } else if (m_prevw > m_targetw) {
    m_prevw = m_prevw - step;
    if (m_prevw < m_targetw + kSnap) m_prevw = m_targetw;
  }
}

// The pen-up tail: joins the last point to the release point, then runs on along the
// last movement (a fifth of it per step), narrowing evenly to 1 pixel in SumiroMode.
void BrushEngine::drawTail(float x, float y) {
  int32_t tmpx = roundEven(x), tmpy = roundEven(y);
  m_dx = roundEven(m_dx / 5.0);
  m_dy = roundEven(m_dy / 5.0);
  m_prevw = m_canvas.drawWidth() * m_prevw;
  m_targetw = m_options.sumiro ? 1.0 : m_prevw;
  if (m_targetw > m_prevw) m_targetw = m_prevw;
  const double step = std::abs(m_prevw - m_targetw) / roundEven(m_prevw / 5 + 10);
  while (m_prevw != m_targetw) {
    updateW(step);
    int32_t width = roundEven(m_prevw);
    if (m_prevw > 30) width = roundEven(m_random.next() * 6 + width - 3);
    width = std::max(width, 1);
    m_canvas.setDrawWidth(width);
    m_canvas.lineTo(tmpx, tmpy);
    logRecord(StrokeKind::Line, tmpx, tmpy, width);
    tmpx += m_dx;
    tmpy += m_dy;
  }
}

void BrushEngine::up(const PenSample& pen) {
  if (m_strokeActive && !m_pointerStill) drawTail(pen.x, pen.y);
  takeReading(pen);
  if (m_mouseDrawing) {
    m_mouseDrawing = false;
    m_host.setMouseIndicator(colours::White);
    m_canvas.setDrawWidth(m_options.bmin);
  }
  m_host.clearPressureBar();
  m_strokeActive = false;
  logRecord(StrokeKind::End, 0, 0, 0);
}

void BrushEngine::tick(int64_t time) {
  m_time = time;
  widthClockStep();
}

void BrushEngine::widthClockStep() {
  if (!m_strokeActive || !m_mouseDrawing) return;
  const int speed = std::max(std::abs(m_dx), std::abs(m_dy));
  const int16_t old = m_mouseWidth;
  if (m_options.sumiro && speed > 5 && m_mouseWidth > 3.0 * m_options.bmax / 4.0) {
    if (m_mouseWidth > 1) --m_mouseWidth;
  } else if (m_mouseWidth < m_options.bmax) {
    ++m_mouseWidth;
  }
  if (m_mouseWidth != old) {
    m_canvas.setDrawWidth(m_mouseWidth);
    m_canvas.lineTo(m_lastX, m_lastY);
    logRecord(StrokeKind::Line, m_lastX, m_lastY, m_canvas.drawWidth());
  }
  const int position = roundEven(double(m_mouseWidth) * m_meterWidth / m_options.bmax);
  m_host.drawPressureBar(position, colours::Red);
}

}  // namespace brush
