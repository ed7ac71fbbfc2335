// Mouse strokes on the real canvas, the sliders, Clear / UnDo / ReDo. Widths, ink and
// replay are the brush engine's and the canvas's.
#include <QAction>
#include <QSlider>

#include "tests/app/AppHarness.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

struct MainWindow : AppTest {
  void SetUp() override { build(); }
  void send(QEvent::Type type, Qt::MouseButtons held, int x, int y) {
    mouse(type, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, QPointF(x, y));
  }
  // A vertical stroke of four 3-pixel steps from (x, 100).
  void stroke(int x) {
    send(QEvent::MouseButtonPress, Qt::LeftButton, x, 100);
    for (int i = 1; i <= 4; ++i) send(QEvent::MouseMove, Qt::LeftButton, x, 100 + 3 * i);
    send(QEvent::MouseButtonRelease, Qt::NoButton, x, 112);
  }
  uint32_t pixel(int x, int y) { return form->canvas().image().pixel(x, y); }
};

TEST_F(MainWindow, SlidersDragEachOtherAlong) {
  form->SliderMax->setValue(80);
  form->SliderMin->setValue(120);
  EXPECT_EQ(peek(*form).BMax(), 120);
  EXPECT_EQ(form->LabelMax->text(), "120");
  form->SliderMin->setValue(10);
  form->SliderMax->setValue(3);
  EXPECT_EQ(peek(*form).BMin(), 3);
  form->SliderMax->setValue(9);
  EXPECT_EQ(peek(*form).BMin(), 3) << "moving away in the permitted direction moves only one";
}

// SumiroMode, ticked at start-up, runs the tail on past the pen-up.
TEST_F(MainWindow, StrokesDrawAndUndoRedoAndClearShowOnTheCanvas) {
  send(QEvent::MouseButtonPress, Qt::LeftButton, 50, 60);
  send(QEvent::MouseMove, Qt::LeftButton, 50, 70);
  send(QEvent::MouseMove, Qt::LeftButton, 50, 80);
  send(QEvent::MouseButtonRelease, Qt::NoButton, 50, 80);
  EXPECT_EQ(pixel(50, 90), kBlack) << "the Sumiro tail";
  form->setCheckValue(form->CheckSumiro, 0);
  form->setCheckValue(form->CheckRefChar, 0);
  form->CommandClear->click();
  stroke(100);
  stroke(200);
  EXPECT_EQ(pixel(100, 105), kBlack);
  EXPECT_EQ(pixel(110, 105), kWhite);
  form->canvas().setDrawWidth(77);
  form->mnuEditUnDo->trigger();
  EXPECT_EQ(form->canvas().drawWidth(), 77) << "a redraw leaves the pen's width alone";
  EXPECT_EQ(pixel(100, 105), kBlack);
  EXPECT_EQ(pixel(200, 105), kWhite);
  form->mnuEditReDo->trigger();
  EXPECT_EQ(pixel(200, 105), kBlack);
  EXPECT_EQ(form->LabelStatus->text(), " " + QString::number(records()));
  form->CommandClear->click();
  EXPECT_EQ(form->LabelStatus->text(), " 0");
  EXPECT_EQ(pixel(100, 105), kWhite);
  EXPECT_TRUE(peek(*form).clearPending());
  send(QEvent::MouseButtonPress, Qt::LeftButton, 10, 10);
  EXPECT_FALSE(peek(*form).clearPending()) << "a pen-down ends the cleared state";
}

}  // namespace
