// The main window as a user meets it: Exit, strokes drawn with simulated
// mouse events on the real canvas, the sliders, Clear / UnDo / ReDo and the canvas
// recomposition.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include "app/Form1.h"
#include "tests/app/FakeServices.h"
#include "tests/app/Form1TestAccess.h"
#include "widgets/PictureBox.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

struct WindowFixture : ::testing::Test {
  QTemporaryDir dir;
  FakePrompts prompts;
  FixedRandom random;
  FakeSettingsStore settings;
  FakeServices fakes;
  std::unique_ptr<Form1> form;

  void SetUp() override {
    Form1Services services;
    services.prompts = &prompts;
    services.settings = &settings;
    services.random = &random;
    services.workingDirectory = dir.path().toStdString();
    fakes.fillIn(services);
    form = std::make_unique<Form1>(services);
  }

  void send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPointF p,
            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF local = p + QPointF(1, 1);  // the canvas border
    QMouseEvent event(type, local, form->PictureDOT->mapToGlobal(local), button, held, modifiers);
    QApplication::sendEvent(form->PictureDOT, &event);
  }
  void press(QPointF p, Qt::MouseButton b = Qt::LeftButton) { send(QEvent::MouseButtonPress, b, b, p); }
  void move(QPointF p, Qt::MouseButtons held = Qt::LeftButton) {
    send(QEvent::MouseMove, Qt::NoButton, held, p);
  }
  void release(QPointF p, Qt::MouseButton b = Qt::LeftButton) {
    send(QEvent::MouseButtonRelease, b, Qt::NoButton, p);
  }
  // A vertical stroke of `moves` 3-pixel steps at column x.
  void stroke(int x, int moves = 4, Qt::MouseButton b = Qt::LeftButton) {
    press(QPointF(x, 100), b);
    for (int i = 1; i <= moves; ++i) move(QPointF(x, 100 + 3 * i), b);
    release(QPointF(x, 100 + 3 * moves), b);
  }
  uint32_t pixel(int x, int y) { return form->canvas().image().pixel(x, y); }
};

// --- closing ------------------------------------------------------------------------

TEST_F(WindowFixture, ExitClosesThroughTheNormalShutDown) {
  form->show();
  form->mnuFileExit->trigger();
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->Timer1->isActive()) << "shut-down ran";
}

// --- strokes on the real canvas ----------------------------------------------------

TEST_F(WindowFixture, MouseStrokeLogsRecordsAndLeavesInk) {
  form->redrawCanvas();
  press(QPointF(50, 60));
  move(QPointF(50, 70));
  move(QPointF(50, 80));
  release(QPointF(50, 80));
  const StrokeLog& log = peek(*form).strokeLog();
  ASSERT_GE(log.logEnd(), 4);
  EXPECT_EQ(log.at(0), (StrokeRecord{1, 50, 60, 1}));
  EXPECT_EQ(log.at(1).kind, 2);
  EXPECT_EQ(log.at(log.logEnd() - 1), (StrokeRecord{3, 0, 0, 0}));
  EXPECT_EQ(form->LabelStatus->text(), " " + QString::number(log.logEnd()));
  EXPECT_EQ(pixel(50, 65), kBlack);
  EXPECT_EQ(pixel(60, 65), kWhite);
  EXPECT_EQ(pixel(50, 90), kBlack) << "SumiroMode, ticked by the settings, runs the tail on";
}

TEST_F(WindowFixture, ClockGrowsTheMouseWidthWhileHeld) {
  press(QPointF(200, 200));
  for (int i = 0; i < 6; ++i) form->Timer1_Timer();
  release(QPointF(200, 200));
  EXPECT_EQ(peek(*form).strokeLog().logEnd(), 1 + 6 + 1);
  EXPECT_EQ(peek(*form).strokeLog().at(6).width, 7);
  EXPECT_EQ(pixel(203, 200), kBlack) << "a blot of width 7";
  EXPECT_EQ(pixel(205, 200), kWhite);
}

TEST_F(WindowFixture, RightButtonDrawsLightGreyThatIsNotInk) {
  form->redrawCanvas();
  stroke(80, 4, Qt::LeftButton);
  stroke(80, 4, Qt::RightButton);
  int greyBegins = 0;
  for (int32_t i = 0; i < peek(*form).strokeLog().logEnd(); ++i)
    greyBegins += peek(*form).strokeLog().at(i).kind == 10;
  EXPECT_EQ(greyBegins, 1);
  EXPECT_EQ(pixel(80, 105), 0xFFE0E0E0u);
}

// --- width limits --------------------------------------------------------------------

TEST_F(WindowFixture, SlidersDragEachOtherAlong) {
  form->SliderMax->setValue(80);
  form->SliderMin->setValue(120);
  EXPECT_EQ(peek(*form).BMax(), 120);
  EXPECT_EQ(form->LabelMax->text(), "120");
  form->SliderMin->setValue(10);
  form->SliderMax->setValue(3);
  EXPECT_EQ(peek(*form).BMin(), 3);
  EXPECT_EQ(form->LabelMin->text(), "3");
  form->SliderMax->setValue(9);
  EXPECT_EQ(peek(*form).BMin(), 3) << "moving away in the permitted direction moves only one";
  EXPECT_EQ(peek(*form).BMax(), 9);
}

// --- Clear, UnDo, ReDo -------------------------------------------------------------

TEST_F(WindowFixture, UndoRedrawsAndRedoRestoresOneStroke) {
  form->setCheckValue(form->CheckSumiro, 0);
  form->redrawCanvas();
  stroke(100);
  stroke(200);
  form->mnuEditUnDo->trigger();
  EXPECT_EQ(pixel(100, 105), kBlack);
  EXPECT_EQ(pixel(200, 105), kWhite);
  form->mnuEditReDo->trigger();
  EXPECT_EQ(pixel(200, 105), kBlack);
  EXPECT_EQ(form->LabelStatus->text(), " " + QString::number(peek(*form).strokeLog().logEnd()));
}

TEST_F(WindowFixture, ClearEmptiesTheCanvasAndMarksItCleared) {
  form->setCheckValue(form->CheckRefChar, 0);
  stroke(150);
  form->CommandClear->click();
  EXPECT_EQ(peek(*form).strokeLog().logEnd(), 0);
  EXPECT_EQ(form->LabelStatus->text(), " 0");
  EXPECT_EQ(pixel(150, 105), kWhite);
  EXPECT_TRUE(peek(*form).clearPending());
  press(QPointF(10, 10));
  EXPECT_FALSE(peek(*form).clearPending()) << "a pen-down ends the cleared state";
  release(QPointF(10, 10));
}

TEST_F(WindowFixture, RedrawReplaysWhatLiveDrawingLeft) {
  form->setCheckValue(form->CheckRefChar, 0);
  form->redrawCanvas();
  press(QPointF(30, 30));
  for (int i = 1; i < 40; ++i) move(QPointF(30 + 7 * i, 30 + (i * i) % 50));
  release(QPointF(300, 80));
  const QImage live = form->canvas().image().copy();
  form->redrawCanvas();
  EXPECT_EQ(form->canvas().image(), live);
}

}  // namespace
