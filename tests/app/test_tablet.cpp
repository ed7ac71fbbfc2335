// Pen input in the main window: a missing or refusing tablet, resetting the context,
// pen end and keys reaching the brush, the meter and readout, and strokes driven by
// synthetic tablet events through the real layer.
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QWindow>

#include "platform/TabletLayer.h"
#include "tests/app/AppHarness.h"
#include "tests/input/FakeTabletLayer.h"
#include "widgets/PictureBox.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kRed = 0xFFFF0000u;
const QString kNotAvailable = "Tablet Driver is not available...";

StrokeRecord rec(StrokeKind kind, int32_t x, int32_t y, int32_t width) {
  return {int16_t(kind), x, y, width};
}

struct TabletFixture : AppTest {
  FakeTabletLayer tablet;

  void build(TabletLayer* layer) {
    services.tablet = layer;
    AppTest::build();
  }
  void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPointF p,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF local = p + QPointF(1, 1);  // the canvas border
    QMouseEvent event(type, local, form->PictureDOT->mapToGlobal(local), button, held, modifiers);
    QApplication::sendEvent(form->PictureDOT, &event);
  }
  void press(QPointF p, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             Qt::MouseButton b = Qt::LeftButton) {
    mouse(QEvent::MouseButtonPress, b, b, p, modifiers);
  }
  void move(QPointF p) { mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, p); }
  void release(QPointF p) { mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p); }
  StrokeRecord record(int32_t i) { return peek(*form).strokeLog().at(i); }
  uint32_t meter(int x) { return form->PictureTabletPressure->picture().image().pixel(x, 4); }
  uint32_t indicator() { return form->PictureMouseIndicator->picture().image().pixel(4, 4); }
};

}  // namespace

TEST_F(TabletFixture, PlatformWithoutTabletEventsShowsTheStatusLineAndDrawsWithTheMouse) {
  const std::unique_ptr<TabletLayer> offscreen = platform::makeTabletLayer("offscreen");
  build(offscreen.get());
  EXPECT_EQ(form->LabelStat->text(), kNotAvailable);
  form->CommandResetTablet->click();
  EXPECT_EQ(form->LabelStat->text(), kNotAvailable);
  EXPECT_TRUE(prompts.asked.empty());
  press(QPointF(50, 50));
  EXPECT_EQ(indicator(), kRed);
  EXPECT_EQ(record(0), rec(StrokeKind::Begin, 50, 50, peek(*form).BMin()));
}

TEST_F(TabletFixture, RefusedContextShowsTheBoxAtStartUpAndAtEveryResetAndReadsNoPackets) {
  tablet.refuseOpen = true;
  build(&tablet);
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].title, Form1::kCaption);
  EXPECT_EQ(prompts.asked[0].text, "Failed to initialize Tablet Driver");
  EXPECT_EQ(prompts.asked[0].buttons, Prompts::Buttons::Ok);
  form->LabelStat->setText("editor message");
  form->CommandResetTablet->click();
  EXPECT_EQ(prompts.asked.size(), 2u);
  EXPECT_EQ(form->LabelStat->text(), "editor message");

  tablet.queue.push(FakeTabletLayer::pen(1023));
  press(QPointF(20, 30));
  EXPECT_EQ(record(0), rec(StrokeKind::Begin, 20, 30, peek(*form).BMin()));
  EXPECT_EQ(tablet.fetches, 0);
}

TEST_F(TabletFixture, ResetReopensOnTheCanvasAndShutDownClosesOnce) {
  build(&tablet);
  EXPECT_EQ(tablet.window, form->PictureDOT);
  EXPECT_EQ(tablet.queueSizeAsked, 32);
  const int32_t first = tablet.openContext;
  form->LabelStat->setText("stale");
  form->CommandResetTablet->click();
  EXPECT_EQ(tablet.closes, 1);
  EXPECT_EQ(tablet.opens, 2);
  EXPECT_NE(tablet.openContext, first);
  EXPECT_EQ(form->LabelStat->text(), "");
  form->Form_Unload();
  form->closeTablet();
  EXPECT_EQ(tablet.closes, 2);
  EXPECT_EQ(tablet.openContext, 0);
}

TEST_F(TabletFixture, MeterAndReadoutShowTheNewestPacketAndClearAtButtonUp) {
  build(&tablet);
  TabletPacket newest = FakeTabletLayer::pen(512, -450, 2);  // round(121 * 512 / 1024) = 60
  newest.pkX = 17;
  tablet.queue.push(FakeTabletLayer::pen(5));
  tablet.queue.push(newest);
  press(QPointF(10, 10));
  EXPECT_EQ(meter(0), kBlue);
  EXPECT_EQ(meter(59), kBlue);
  EXPECT_EQ(meter(60), kWhite);
  EXPECT_EQ(indicator(), kWhite);
  EXPECT_EQ(form->Label1->text(), QString::fromStdString(input::readoutText(newest)));
  release(QPointF(10, 10));  // the queue is empty now: sixteen zeros
  EXPECT_EQ(meter(0), kWhite);
  EXPECT_EQ(form->Label1->text(), QString::fromStdString(input::readoutText(TabletPacket{})));
}

// The ink rules are the brush engine's; here only that each input reaches it.
TEST_F(TabletFixture, KeysButtonPenEndAndMouseModeBoxReachTheBrush) {
  struct Case {
    int32_t altitude;
    Qt::KeyboardModifiers modifiers;
    Qt::MouseButton button;
    bool mouseMode;
    StrokeKind expected;
  };
  const Case cases[] = {
      {900, Qt::AltModifier, Qt::LeftButton, false, StrokeKind::BeginGrey},
      {-900, Qt::NoModifier, Qt::LeftButton, false, StrokeKind::BeginGrey},
      {-900, Qt::ControlModifier, Qt::LeftButton, false, StrokeKind::Begin},
      {900, Qt::NoModifier, Qt::RightButton, true, StrokeKind::BeginGrey},
      {-900, Qt::ShiftModifier, Qt::LeftButton, true, StrokeKind::Begin}};
  for (const Case& c : cases) {
    build(&tablet);
    Form1::setCheckValue(form->CheckMouseMode, c.mouseMode ? 1 : 0);
    tablet.queue.push(FakeTabletLayer::pen(600, c.altitude));
    press(QPointF(30, 30), c.modifiers, c.button);
    const auto why = testing::Message() << c.altitude << " " << c.modifiers << " " << c.button
                                        << " mouse mode " << c.mouseMode;
    EXPECT_EQ(record(0).kind, int16_t(c.expected)) << why;
    EXPECT_EQ(peek(*form).brushEngine().mouseDrawing(), c.mouseMode) << why;
  }
}

// --- the real layer, fed by synthetic tablet events

namespace {

struct RealLayerFixture : TabletFixture {
  std::unique_ptr<TabletLayer> layer = platform::makeTabletLayer("xcb");
  QPointingDevice pen{"pen", 11, QInputDevice::DeviceType::Stylus,
                      QPointingDevice::PointerType::Pen, QInputDevice::Capability::Pressure, 1, 2};
  QPointingDevice eraser{"eraser", 12, QInputDevice::DeviceType::Stylus,
                         QPointingDevice::PointerType::Eraser,
                         QInputDevice::Capability::Pressure, 1, 2};

  void SetUp() override { build(layer.get()); }

  // As the platform delivers it: to the window, which hands it to the widget below.
  void tabletAt(QEvent::Type type, const QPointingDevice& device, QPointF global,
                double pressure, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton;
    form->winId();
    QTabletEvent event(type, &device, form->mapFromGlobal(global), global, pressure, 0, 0, 0, 0,
                       0, Qt::NoModifier, button, held);
    QApplication::sendEvent(form->windowHandle(), &event);
    EXPECT_FALSE(event.isAccepted()) << "left unaccepted, so Qt still delivers the mouse event";
  }
  void sendTablet(QEvent::Type type, const QPointingDevice& device, QPointF p, double pressure,
                  Qt::MouseButtons held = Qt::LeftButton) {
    tabletAt(type, device, form->PictureDOT->mapToGlobal(p + QPointF(1, 1)), pressure, held);
  }
  QStringList readout() { return form->Label1->text().split("\r\n"); }
};

}  // namespace

TEST_F(RealLayerFixture, PenStrokeCarriesThePressureWidths) {
  ASSERT_EQ(form->LabelStat->text(), "");
  sendTablet(QEvent::TabletPress, pen, QPointF(200, 100), 1.0);
  press(QPointF(200, 100));
  for (int i = 1; i <= 3; ++i) {
    sendTablet(QEvent::TabletMove, pen, QPointF(200, 100 + 3 * i), 0.5);  // width 10
    move(QPointF(200, 100 + 3 * i));
  }
  sendTablet(QEvent::TabletRelease, pen, QPointF(200, 109), 0.0, Qt::NoButton);
  release(QPointF(200, 109));
  ASSERT_GE(peek(*form).strokeLog().logEnd(), 5);
  EXPECT_EQ(record(0), rec(StrokeKind::Begin, 200, 100, 20));
  EXPECT_EQ(record(1), rec(StrokeKind::Line, 200, 103, 17));
  EXPECT_EQ(record(2), rec(StrokeKind::Line, 200, 106, 14));
  EXPECT_EQ(record(3), rec(StrokeKind::Line, 200, 109, 10));  // the last 4 at once
  EXPECT_EQ(record(peek(*form).strokeLog().logEnd() - 1), rec(StrokeKind::End, 0, 0, 0));
}

TEST_F(RealLayerFixture, EraserEndDrawsGreyAndReadsAsInverted) {
  sendTablet(QEvent::TabletPress, eraser, QPointF(50, 60), 0.5);
  press(QPointF(50, 60));
  EXPECT_EQ(record(0).kind, int16_t(StrokeKind::BeginGrey));
  const QStringList items = readout();
  ASSERT_EQ(items.size(), 17);
  EXPECT_EQ(items[0], "2");                                   // pkCursor
  EXPECT_EQ(items[7], "512");                                 // pkNormalPressure
  EXPECT_EQ(items[10], "-900");                               // orAltitude, upright
  EXPECT_EQ(items[14], QString::number(wintab::TPS_INVERT));  // pkStatus
}

TEST_F(RealLayerFixture, ResetKeepsThePenWorkingAndLeavingTheTabletDropsItsPackets) {
  form->CommandResetTablet->click();
  EXPECT_EQ(form->LabelStat->text(), "");
  sendTablet(QEvent::TabletPress, pen, QPointF(70, 70), 1.0);
  press(QPointF(70, 70));
  EXPECT_FALSE(peek(*form).brushEngine().mouseDrawing());
  EXPECT_EQ(record(0), rec(StrokeKind::Begin, 70, 70, 20));
  release(QPointF(70, 70));

  sendTablet(QEvent::TabletMove, pen, QPointF(80, 80), 0.8, Qt::NoButton);
  QTabletEvent leave(QEvent::TabletLeaveProximity, &pen, QPointF(), QPointF(), 0, 0, 0, 0, 0, 0,
                     Qt::NoModifier, Qt::NoButton, Qt::NoButton);
  QApplication::sendEvent(qApp, &leave);
  press(QPointF(80, 80));
  EXPECT_TRUE(peek(*form).brushEngine().mouseDrawing());
}

// Regression: only the canvas queued the pen's packets, so a reading over the rest of
// the window found none and the width fell toward BMin instead of following the pen.
TEST_F(RealLayerFixture, ThePenIsReadWhereverItIsOverTheWindow) {
  tabletAt(QEvent::TabletMove, pen, form->CommandClear->mapToGlobal(QPointF(5, 5)), 0.5, Qt::NoButton);
  form->Form_MouseMove(0, 0, 655, 10);
  EXPECT_EQ(readout()[7], "512");  // pkNormalPressure
}
