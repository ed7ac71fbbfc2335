// The one full recomposition of the canvas: background, enlarged reference
// character, guide line, the replayed stroke log.
#include <QCheckBox>
#include <QCoreApplication>

#include "app/Form1.h"
#include "brush/StrokeReplay.h"
#include "widgets/PictureBox.h"

namespace {
// The guide line lies at 0.86 of the picture's outer height: row 442 of the drawing area.
constexpr double kGuideLineRow = 0.86 * 514;
}  // namespace

void Form1::redrawCanvas() {
  RetainedImage& temp = *PictureTemp;
  temp.clear();
  if (checkValue(CheckRefChar) != 0) {
    QCoreApplication::processEvents();
    captureReference(temp);
  }
  temp.horizontalLine(0, temp.width() + 2, kGuideLineRow, colours::GuideLine);
  m_replayCheckpoints.replay(m_strokeLog, temp);  // UnDo does not replay the whole log
  // Only the pixels: the canvas's pen width is the pen's, which the next reading falls
  // from, never the width the replay ended on.
  PictureDOT->picture().copyFrom(temp);
  PictureDOT->refresh();
}

void Form1::composeStrokes(const StrokeLog& log, RetainedImage& target) {
  target.clear();
  target.horizontalLine(0, target.width() + 2, kGuideLineRow, colours::GuideLine);
  replayStrokes(log, target, 0, log.logEnd() - 1);
}
