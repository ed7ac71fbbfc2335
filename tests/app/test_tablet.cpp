// Pen input in the main window: a missing or refusing tablet, and synthetic tablet events
// through the real layer. Width, ink and readout rules are tests/brush's and tests/input's.
#include <QPointingDevice>
#include <QTabletEvent>
#include <QWindow>

#include "platform/TabletLayer.h"
#include "tests/app/AppHarness.h"

namespace {

constexpr uint32_t kBlue = 0xFF0000FFu;

StrokeRecord rec(StrokeKind kind, int32_t x, int32_t y, int32_t width) {
  return {int16_t(kind), x, y, width};
}

struct Tablet : AppTest {
  void build(TabletLayer* layer) {
    services.tablet = layer;
    AppTest::build();
  }
  void press(QPointF p) { mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, p); }
  void release(QPointF p) { mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p); }
  StrokeRecord record(int32_t i) { return peek(*form).strokeLog().at(i); }
  uint32_t meter(int x) { return form->PictureTabletPressure->picture().image().pixel(x, 4); }
};

TEST_F(Tablet, NoTabletOrARefusedContextLeavesTheMouseDrawing) {
  const std::unique_ptr<TabletLayer> offscreen = platform::makeTabletLayer("offscreen");
  build(offscreen.get());
  EXPECT_EQ(form->LabelStat->text(), "Tablet Driver is not available...");
  EXPECT_TRUE(prompts.asked.empty());

  FakeTabletLayer& tablet = fakes.tablet;
  tablet.isPresent = true;
  tablet.refuseOpen = true;
  build(&tablet);
  form->CommandResetTablet->click();
  EXPECT_EQ(prompts.asked.size(), 2u) << "at start-up and at every reset";
  tablet.queue.push(FakeTabletLayer::pen(1023));
  press(QPointF(20, 30));
  EXPECT_EQ(record(0), rec(StrokeKind::Begin, 20, 30, peek(*form).BMin()));
}

// The real layer, fed by synthetic tablet events.
struct RealLayer : Tablet {
  std::unique_ptr<TabletLayer> layer = platform::makeTabletLayer("xcb");
  QPointingDevice pen{"pen", 11, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
                      QInputDevice::Capability::Pressure, 1, 2};
  QPointingDevice eraser{"eraser", 12, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Eraser,
                         QInputDevice::Capability::Pressure, 1, 2};

  void SetUp() override { build(layer.get()); }
  // As the platform delivers it: to the window, which hands it to the widget below; left
  // unaccepted, so Qt still delivers the mouse event.
  void tabletAt(QEvent::Type type, const QPointingDevice& device, QPointF global, double pressure,
                Qt::MouseButtons held) {
    form->winId();
    QTabletEvent event(type, &device, form->mapFromGlobal(global), global, pressure, 0, 0, 0, 0, 0,
                       Qt::NoModifier, type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton, held);
    QApplication::sendEvent(form->windowHandle(), &event);
    EXPECT_FALSE(event.isAccepted());
  }
  // The tablet event over the canvas, then the mouse event Qt makes of it.
  void send(QEvent::Type type, const QPointingDevice& device, QPointF p, double pressure) {
    const bool up = type == QEvent::TabletRelease;
    tabletAt(type, device, form->PictureDOT->mapToGlobal(p + QPointF(1, 1)), pressure,
             up ? Qt::NoButton : Qt::LeftButton);
    if (type == QEvent::TabletPress) press(p);
    if (type == QEvent::TabletMove) mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, p);
    if (up) release(p);
  }
  QStringList readout() { return form->Label1->text().split("\r\n"); }
};

TEST_F(RealLayer, PenStrokeCarriesThePressureWidthsAndTheEraserDrawsGrey) {
  form->CommandResetTablet->click();
  ASSERT_EQ(form->LabelStat->text(), "");
  send(QEvent::TabletPress, pen, QPointF(200, 100), 1.0);
  EXPECT_EQ(meter(0), kBlue) << "the meter shows the pressure";
  for (int i = 1; i <= 3; ++i) send(QEvent::TabletMove, pen, QPointF(200, 100 + 3 * i), 0.5);
  send(QEvent::TabletRelease, pen, QPointF(200, 109), 0.0);
  EXPECT_EQ(record(0), rec(StrokeKind::Begin, 200, 100, 20));
  EXPECT_EQ(record(3), rec(StrokeKind::Line, 200, 109, 10));  // half pressure, the last 4 at once
  EXPECT_EQ(meter(0), 0xFFFFFFFFu) << "and clears at the pen-up";

  send(QEvent::TabletPress, eraser, QPointF(50, 60), 0.5);
  EXPECT_EQ(record(records() - 1).kind, int16_t(StrokeKind::BeginGrey));
  const QStringList items = readout();
  ASSERT_EQ(items.size(), 17);
  EXPECT_EQ(items[7], "512");                                 // pkNormalPressure
  EXPECT_EQ(items[14], QString::number(wintab::TPS_INVERT));  // pkStatus
}

TEST_F(RealLayer, LeavingTheTabletDropsItsPackets) {
  send(QEvent::TabletMove, pen, QPointF(80, 80), 0.8);
  QTabletEvent leave(QEvent::TabletLeaveProximity, &pen, QPointF(), QPointF(), 0, 0, 0, 0, 0, 0,
                     Qt::NoModifier, Qt::NoButton, Qt::NoButton);
  QApplication::sendEvent(qApp, &leave);
  press(QPointF(80, 80));
  EXPECT_TRUE(peek(*form).brushEngine().mouseDrawing());
}

// Regression: only the canvas queued the pen's packets, so a reading over the rest of
// the window found none and the width fell toward BMin instead of following the pen.
TEST_F(RealLayer, ThePenIsReadWhereverItIsOverTheWindow) {
  tabletAt(QEvent::TabletMove, pen, form->CommandClear->mapToGlobal(QPointF(5, 5)), 0.5, Qt::NoButton);
  form->Form_MouseMove(0, 0, 655, 10);
  EXPECT_EQ(readout()[7], "512");  // pkNormalPressure
}

}  // namespace
