// Brush strokes on the canvas, the width limits and the mouse-mode width clock.
#include <QCheckBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include "app/Form1.h"
#include "widgets/PictureBox.h"

// A pen-down means the canvas is no longer "just cleared".
void Form1::PictureDOT_MouseDown(int button, int shift, float x, float y) {
  m_clearPending = false;
  m_unsavedClearedLog.reset();
  m_brush->down(penSample(button, shift, x, y));
  PictureDOT->refresh();
}

void Form1::PictureDOT_MouseMove(int button, int shift, float x, float y) {
  m_brush->move(penSample(button, shift, x, y));
  PictureDOT->refresh();
}

void Form1::PictureDOT_MouseUp(int button, int shift, float x, float y) {
  m_brush->up(penSample(button, shift, x, y));
  PictureDOT->refresh();
  takeFollowedCode();  // a code the editor sent while the stroke was drawn
}

void Form1::Timer1_Timer() {
  m_brush->tick(penTime());
  PictureDOT->refresh();
}

// The two sliders stay in order: moving one past the other drags the other along.
void Form1::SliderMin_Scroll() {
  m_BMin = SliderMin->value();
  LabelMin->setText(QString::number(m_BMin));
  if (m_BMax < m_BMin) {
    {
      const QSignalBlocker blocker(SliderMax);
      SliderMax->setValue(m_BMin);
    }
    SliderMax_Scroll();
  }
  brushOptionsChanged();
}

void Form1::SliderMax_Scroll() {
  m_BMax = SliderMax->value();
  LabelMax->setText(QString::number(m_BMax));
  if (m_BMax < m_BMin) {
    {
      const QSignalBlocker blocker(SliderMin);
      SliderMin->setValue(m_BMax);
    }
    SliderMin_Scroll();
  }
  brushOptionsChanged();
}

// The engine is handed the brush controls whenever one changes: the sliders' handlers
// and the check boxes' state changes (a user's click or a value set from the settings).
void Form1::brushOptionsChanged() {
  m_brush->setOptions(
      {checkValue(CheckSumiro) == 1, checkValue(CheckMouseMode) != 0, m_BMin, m_BMax});
}

void Form1::appendStrokeRecord(StrokeKind kind, int32_t x, int32_t y, int32_t width) {
  m_strokeLog.appendStrokeRecord(kind, x, y, width);
  showStatusCount();
}

// Fills (0, 0)-(p, H-1) with the colour and the rest with white.
void Form1::drawPressureBar(int position, Colour colour) {
  RetainedImage& meter = PictureTabletPressure->picture();
  meter.fillRect(0, 0, position, meter.height() - 1, colour);
  meter.fillRect(position, 0, meter.width() - 1, meter.height() - 1, colours::White);
  PictureTabletPressure->refresh();
}

void Form1::clearPressureBar() {
  RetainedImage& meter = PictureTabletPressure->picture();
  meter.fillRect(0, 0, meter.width() - 1, meter.height() - 1, colours::White);
  PictureTabletPressure->refresh();
}

void Form1::setMouseIndicator(Colour colour) {
  RetainedImage& indicator = PictureMouseIndicator->picture();
  indicator.setBackColor(colour);
  indicator.clear();
  PictureMouseIndicator->refresh();
}
