// The main window as a user meets it: Exit, a stroke drawn with simulated mouse events
// on the real canvas, the sliders, Clear / UnDo / ReDo on the canvas. Widths, ink and
// replay are the brush engine's and the canvas's.
#include <QAction>
#include <QMouseEvent>
#include <QSlider>
#include <QTimer>

#include "tests/app/AppHarness.h"
#include "widgets/PictureBox.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

struct WindowFixture : AppTest {
  void SetUp() override { build(); }
  void send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPointF p) {
    const QPointF local = p + QPointF(1, 1);  // the canvas border
    QMouseEvent event(type, local, form->PictureDOT->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(form->PictureDOT, &event);
  }
  // A vertical stroke of four 3-pixel steps at column x.
  void stroke(int x) {
    send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPointF(x, 100));
    for (int i = 1; i <= 4; ++i) send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPointF(x, 100 + 3 * i));
    send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPointF(x, 112));
  }
  uint32_t pixel(int x, int y) { return form->canvas().image().pixel(x, y); }
};

TEST_F(WindowFixture, ExitClosesThroughTheNormalShutDown) {
  form->show();
  form->mnuFileExit->trigger();
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->Timer1->isActive()) << "shut-down ran";
}

TEST_F(WindowFixture, SlidersDragEachOtherAlong) {
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

TEST_F(WindowFixture, SumiroModeTickedAtStartUpRunsTheTailOn) {
  send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPointF(50, 60));
  send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPointF(50, 70));
  send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPointF(50, 80));
  send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPointF(50, 80));
  EXPECT_EQ(pixel(50, 90), kBlack);
}

TEST_F(WindowFixture, StrokesDrawAndUndoRedoAndClearShowOnTheCanvas) {
  form->setCheckValue(form->CheckSumiro, 0);
  form->setCheckValue(form->CheckRefChar, 0);
  stroke(100);
  stroke(200);
  EXPECT_EQ(pixel(100, 105), kBlack);
  EXPECT_EQ(pixel(110, 105), kWhite);
  form->mnuEditUnDo->trigger();
  EXPECT_EQ(pixel(100, 105), kBlack);
  EXPECT_EQ(pixel(200, 105), kWhite);
  form->mnuEditReDo->trigger();
  EXPECT_EQ(pixel(200, 105), kBlack);
  EXPECT_EQ(form->LabelStatus->text(), " " + QString::number(peek(*form).strokeLog().logEnd()));
  form->CommandClear->click();
  EXPECT_EQ(form->LabelStatus->text(), " 0");
  EXPECT_EQ(pixel(100, 105), kWhite);
  EXPECT_TRUE(peek(*form).clearPending());
  send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPointF(10, 10));
  EXPECT_FALSE(peek(*form).clearPending()) << "a pen-down ends the cleared state";
}

}  // namespace
