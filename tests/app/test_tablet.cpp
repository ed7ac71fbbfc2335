// Pen input in the main window: opening, refusing and resetting the tablet context,
// pressure widths and ink from the pen's packets, the meter, the indicator and the
// readout, and strokes driven by synthetic tablet events through the real layer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QPushButton>
#include <QScreen>
#include <QTabletEvent>
#include <QTemporaryDir>
#include <vector>

#include "app/Form1.h"
#include "platform/PictureBox.h"
#include "tests/input/FakeTabletLayer.h"
#include "tests/support/FakeBrushHost.h"
#include "tests/support/FakePrompts.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kRed = 0xFFFF0000u;
const QString kNotAvailable = "Tablet Driver is not available...";
const QString kFailed = "Failed to initialize Tablet Driver";

struct WindowDriver {
  std::unique_ptr<Form1> form;

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

  std::vector<StrokeRecord> records() {
    std::vector<StrokeRecord> out;
    for (int32_t i = 0; i < form->strokeLog().logEnd(); ++i) out.push_back(form->strokeLog().at(i));
    return out;
  }
  uint32_t meter(int x) { return form->PictureTabletPressure->picture().image().pixel(x, 4); }
  uint32_t indicator() { return form->PictureMouseIndicator->picture().image().pixel(4, 4); }
};

StrokeRecord rec(StrokeKind kind, int32_t x, int32_t y, int32_t width) {
  return {int16_t(kind), x, y, width};
}

struct TabletFixture : ::testing::Test, WindowDriver {
  QTemporaryDir dir;
  FakePrompts prompts;
  FixedRandom random;
  FakeTabletLayer tablet;

  void build(TabletLayer* layer) {
    Form1Services services;
    services.prompts = &prompts;
    services.random = &random;
    services.tablet = layer;
    services.workingDirectory = dir.path().toStdString();
    form = std::make_unique<Form1>(services);
  }
  void SetUp() override {}
};

}  // namespace

// --- opening, refusing and resetting the context

TEST_F(TabletFixture, PlatformWithoutTabletEventsShowsTheStatusLineAndNoDialog) {
  build(nullptr);  // the production layer on the offscreen platform
  EXPECT_EQ(form->LabelStat->text(), kNotAvailable);
  form->CommandResetTablet->click();
  EXPECT_EQ(form->LabelStat->text(), kNotAvailable);
  EXPECT_TRUE(prompts.asked.empty());

  press(QPointF(50, 50));
  EXPECT_EQ(indicator(), kRed);  // a mouse-mode stroke
  release(QPointF(50, 50));
  EXPECT_EQ(records().front(), rec(StrokeKind::Begin, 50, 50, form->BMin()));
}

TEST_F(TabletFixture, RefusedContextShowsTheBoxAtStartUpAndAtEveryReset) {
  tablet.refuseOpen = true;
  build(&tablet);
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].title, Form1::kCaption);
  EXPECT_EQ(prompts.asked[0].text, kFailed);
  EXPECT_EQ(prompts.asked[0].buttons, Prompts::Buttons::Ok);

  form->LabelStat->setText("editor message");
  form->CommandResetTablet->click();
  EXPECT_EQ(prompts.asked.size(), 2u);
  EXPECT_EQ(form->LabelStat->text(), "editor message");
}

TEST_F(TabletFixture, RefusedContextLeavesPacketsUnreadAndStrokesInMouseMode) {
  tablet.refuseOpen = true;
  build(&tablet);
  tablet.queue.push(FakeTabletLayer::pen(1023));
  press(QPointF(20, 30));
  release(QPointF(20, 30));
  EXPECT_EQ(records().front(), rec(StrokeKind::Begin, 20, 30, form->BMin()));
  EXPECT_EQ(tablet.fetches, 0);
  EXPECT_EQ(form->Label1->text(), "");
}

TEST_F(TabletFixture, WorkingContextIsOpenedOnTheCanvasWithAThirtyTwoPacketQueue) {
  build(&tablet);
  EXPECT_TRUE(prompts.asked.empty());
  EXPECT_EQ(form->LabelStat->text(), "");
  EXPECT_EQ(tablet.window, form->PictureDOT);
  EXPECT_EQ(tablet.queueSizeAsked, 32);
  EXPECT_EQ(std::string(tablet.openedSpec.lcName.data()), "TEST");
  EXPECT_EQ(tablet.openedSpec.lcBtnUpMask, tablet.driverDefault.lcBtnDnMask);
  EXPECT_EQ(tablet.openedSpec.lcOutExtX, 1024);
  EXPECT_EQ(tablet.openedSpec.lcOutExtY, -768);
}

TEST_F(TabletFixture, ResetClosesAndReopensAndEmptiesTheStatusLine) {
  build(&tablet);
  const int32_t first = tablet.openContext;
  form->LabelStat->setText("stale");
  form->CommandResetTablet->click();
  EXPECT_EQ(tablet.closes, 1);
  EXPECT_EQ(tablet.opens, 2);
  EXPECT_NE(tablet.openContext, first);
  EXPECT_NE(tablet.openContext, 0);
  EXPECT_EQ(form->LabelStat->text(), "");
}

TEST_F(TabletFixture, ClosingTwiceClosesTheContextOnce) {
  build(&tablet);
  form->closeTablet();
  form->closeTablet();
  EXPECT_EQ(tablet.closes, 1);
  EXPECT_EQ(tablet.openContext, 0);
}

TEST_F(TabletFixture, ShutDownClosesTheContext) {
  build(&tablet);
  form->Form_Unload();
  EXPECT_EQ(tablet.closes, 1);
  EXPECT_EQ(tablet.openContext, 0);
}

// --- widths, meter, indicator and readout from fake packets

TEST_F(TabletFixture, StrokeWidthFollowsPressureAndFallsAtTheLimitedRate) {
  build(&tablet);  // BMin 1, BMax 20
  tablet.queue.push(FakeTabletLayer::pen(1023));
  press(QPointF(100, 100));
  for (int i = 1; i <= 6; ++i) {
    tablet.queue.push(FakeTabletLayer::pen(0));
    move(QPointF(100, 100 + 2 * i));  // vertical: the width factor stays 1.0
  }
  std::vector<int32_t> widths;
  for (const StrokeRecord& r : records()) widths.push_back(r.width);
  EXPECT_EQ(widths, (std::vector<int32_t>{20, 17, 14, 11, 8, 5, 1}));
}

TEST_F(TabletFixture, MeterShowsPressureInBlueAndClearsAtButtonUp) {
  build(&tablet);
  tablet.queue.push(FakeTabletLayer::pen(512));  // round(121 * 512 / 1024) = 60
  press(QPointF(10, 10));
  EXPECT_EQ(meter(0), kBlue);
  EXPECT_EQ(meter(59), kBlue);
  EXPECT_EQ(meter(60), kWhite);
  EXPECT_EQ(indicator(), kWhite);
  release(QPointF(10, 10));
  EXPECT_EQ(meter(0), kWhite);
}

TEST_F(TabletFixture, ReadoutShowsTheNewestPacket) {
  build(&tablet);
  TabletPacket packet = FakeTabletLayer::pen(300, -450, 2);
  packet.pkX = 17;
  packet.pkTime = 99;
  tablet.queue.push(FakeTabletLayer::pen(5));
  tablet.queue.push(packet);
  press(QPointF(10, 10));
  EXPECT_EQ(form->Label1->text(), QString::fromStdString(input::readoutText(packet)));
  release(QPointF(10, 10));  // the queue is empty now: sixteen zeros
  EXPECT_EQ(form->Label1->text(), QString::fromStdString(input::readoutText(TabletPacket{})));
}

TEST_F(TabletFixture, MouseModeCheckForcesMouseStrokesWithThePen) {
  build(&tablet);
  Form1::setCheckValue(form->CheckMouseMode, 1);
  tablet.queue.push(FakeTabletLayer::pen(1023));
  press(QPointF(40, 40));
  EXPECT_EQ(indicator(), kRed);
  EXPECT_TRUE(form->brushEngine().mouseDrawing());
  release(QPointF(40, 40));
  EXPECT_EQ(records().front(), rec(StrokeKind::Begin, 40, 40, form->BMin()));
}

TEST_F(TabletFixture, BackgroundMovesKeepDrainingTheQueue) {
  build(&tablet);
  for (int i = 0; i < 5; ++i) tablet.queue.push(FakeTabletLayer::pen(1023));
  QWidget* background = form->centralWidget();
  const QPointF spot(600, 556);  // below the buttons, right of the canvas
  ASSERT_EQ(background->childAt(spot.toPoint()), nullptr);
  QMouseEvent event(QEvent::MouseMove, spot, background->mapToGlobal(spot), Qt::NoButton,
                    Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(background, &event);
  EXPECT_EQ(tablet.queue.size(), 0);
  EXPECT_EQ(form->canvas().drawWidth(), 20);
  EXPECT_NE(form->Label1->text(), "");
}

// --- ink over pen end and modifier keys

struct InkCase {
  int32_t altitude;
  Qt::KeyboardModifiers modifiers;
  Qt::MouseButton button;
  bool mouseModeChecked;
  StrokeKind expected;
};

class InkSelection : public TabletFixture, public ::testing::WithParamInterface<InkCase> {};

TEST_P(InkSelection, GreyWhenExactlyOneOfModifierAndInvertedPenHolds) {
  const InkCase c = GetParam();
  build(&tablet);
  Form1::setCheckValue(form->CheckMouseMode, c.mouseModeChecked ? 1 : 0);
  tablet.queue.push(FakeTabletLayer::pen(600, c.altitude));
  press(QPointF(30, 30), c.modifiers, c.button);
  EXPECT_EQ(records().front().kind, int16_t(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    PenAndKeys, InkSelection,
    ::testing::Values(
        InkCase{900, Qt::NoModifier, Qt::LeftButton, false, StrokeKind::Begin},
        InkCase{900, Qt::ShiftModifier, Qt::LeftButton, false, StrokeKind::BeginGrey},
        InkCase{900, Qt::ControlModifier, Qt::LeftButton, false, StrokeKind::BeginGrey},
        InkCase{900, Qt::AltModifier, Qt::LeftButton, false, StrokeKind::BeginGrey},
        InkCase{-900, Qt::NoModifier, Qt::LeftButton, false, StrokeKind::BeginGrey},
        InkCase{-900, Qt::ShiftModifier, Qt::LeftButton, false, StrokeKind::Begin},
        InkCase{900, Qt::NoModifier, Qt::RightButton, false, StrokeKind::Begin},
        InkCase{900, Qt::NoModifier, Qt::LeftButton, true, StrokeKind::Begin},
        InkCase{-900, Qt::ShiftModifier, Qt::LeftButton, true, StrokeKind::Begin},
        InkCase{900, Qt::ShiftModifier, Qt::LeftButton, true, StrokeKind::BeginGrey},
        InkCase{-900, Qt::NoModifier, Qt::LeftButton, true, StrokeKind::BeginGrey}));

// --- the real layer, fed by synthetic tablet events

namespace {

struct RealLayerFixture : TabletFixture {
  std::unique_ptr<TabletLayer> layer = makeTabletLayer("xcb");
  QPointingDevice pen{"pen", 11, QInputDevice::DeviceType::Stylus,
                      QPointingDevice::PointerType::Pen, QInputDevice::Capability::Pressure, 1, 2};
  QPointingDevice eraser{"eraser", 12, QInputDevice::DeviceType::Stylus,
                         QPointingDevice::PointerType::Eraser,
                         QInputDevice::Capability::Pressure, 1, 2};

  void SetUp() override { build(layer.get()); }
  ~RealLayerFixture() override { form.reset(); }

  void tabletAt(QEvent::Type type, const QPointingDevice& device, QPointF p, QPointF global,
                double pressure, Qt::MouseButtons held) {
    const QPointF local = p + QPointF(1, 1);
    const Qt::MouseButton button = type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton;
    QTabletEvent event(type, &device, local, global, pressure, 0, 0, 0, 0, 0, Qt::NoModifier,
                       button, held);
    QApplication::sendEvent(form->PictureDOT, &event);
  }
  void sendTablet(QEvent::Type type, const QPointingDevice& device, QPointF p, double pressure,
              Qt::MouseButtons held = Qt::LeftButton) {
    tabletAt(type, device, p, form->PictureDOT->mapToGlobal(p + QPointF(1, 1)), pressure, held);
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
  const std::vector<StrokeRecord> log = records();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0], rec(StrokeKind::Begin, 200, 100, 20));
  EXPECT_EQ(log[1], rec(StrokeKind::Line, 200, 103, 17));
  EXPECT_EQ(log[2], rec(StrokeKind::Line, 200, 106, 14));
  EXPECT_EQ(log[3], rec(StrokeKind::Line, 200, 109, 10));  // the last 4 at once
  EXPECT_EQ(log.back(), rec(StrokeKind::End, 0, 0, 0));
}

TEST_F(RealLayerFixture, EraserEndDrawsGreyAndReadsAsInverted) {
  sendTablet(QEvent::TabletPress, eraser, QPointF(50, 60), 0.5);
  press(QPointF(50, 60));
  EXPECT_EQ(records().front().kind, int16_t(StrokeKind::BeginGrey));
  const QStringList items = readout();
  ASSERT_EQ(items.size(), 17);
  EXPECT_EQ(items[0], "2");                                          // pkCursor
  EXPECT_EQ(items[7], "512");                                        // pkNormalPressure
  EXPECT_EQ(items[10], "-900");                                      // orAltitude, upright
  EXPECT_EQ(items[14], QString::number(wintab::TPS_INVERT));         // pkStatus
}

TEST_F(RealLayerFixture, PositionIsScaledIntoTheOutputSpaceOfTheScreen) {
  const QRect screen = form->PictureDOT->screen()->geometry();
  const QPointF centre(screen.x() + screen.width() / 2.0, screen.y() + screen.height() / 2.0);
  tabletAt(QEvent::TabletMove, pen, QPointF(5, 5), centre, 0.25, Qt::NoButton);
  tabletAt(QEvent::TabletMove, pen, QPointF(5, 5), screen.bottomRight() + QPoint(1, 1), 0.25,
           Qt::NoButton);
  form->Form_MouseMove(0, 0, 0, 0);
  const QStringList items = readout();
  ASSERT_EQ(items.size(), 17);
  EXPECT_EQ(items[2], "1024");  // pkX of the newest: the bottom-right corner
  EXPECT_EQ(items[3], "768");
  EXPECT_EQ(items[7], "256");   // 255.75
  EXPECT_EQ(items[0], "1");
}

TEST_F(RealLayerFixture, ScreenCentreIsTheMiddleOfTheOutputSpace) {
  const QRect screen = form->PictureDOT->screen()->geometry();
  const QPointF centre(screen.x() + screen.width() / 2.0, screen.y() + screen.height() / 2.0);
  tabletAt(QEvent::TabletMove, pen, QPointF(5, 5), centre, 0.0, Qt::NoButton);
  form->Form_MouseMove(0, 0, 0, 0);
  const QStringList items = readout();
  ASSERT_EQ(items.size(), 17);
  EXPECT_EQ(items[2], "512");
  EXPECT_EQ(items[3], "384");
}

TEST_F(RealLayerFixture, PenLeavingTheTabletDropsItsQueuedPackets) {
  sendTablet(QEvent::TabletMove, pen, QPointF(80, 80), 0.8, Qt::NoButton);
  QTabletEvent leave(QEvent::TabletLeaveProximity, &pen, QPointF(), QPointF(), 0, 0, 0, 0, 0, 0,
                     Qt::NoModifier, Qt::NoButton, Qt::NoButton);
  QApplication::sendEvent(qApp, &leave);
  press(QPointF(80, 80));
  EXPECT_TRUE(form->brushEngine().mouseDrawing());
  EXPECT_EQ(indicator(), kRed);
}

TEST_F(RealLayerFixture, ResetKeepsThePenWorking) {
  form->CommandResetTablet->click();
  EXPECT_EQ(form->LabelStat->text(), "");
  sendTablet(QEvent::TabletPress, pen, QPointF(70, 70), 1.0);
  press(QPointF(70, 70));
  EXPECT_FALSE(form->brushEngine().mouseDrawing());
  EXPECT_EQ(records().front(), rec(StrokeKind::Begin, 70, 70, 20));
}

// --- the real layer on its own

TEST(QtTabletLayer, PresentOnlyOnPlatformsThatDeliverTabletEvents) {
  EXPECT_TRUE(makeTabletLayer("xcb")->present());
  EXPECT_TRUE(makeTabletLayer("wayland")->present());
  for (const char* name : {"offscreen", "minimal", "eglfs"}) {
    auto layer = makeTabletLayer(name);
    TabletContextSpec spec;
    PictureBox box(10, 10, false);
    EXPECT_FALSE(layer->present()) << name;
    EXPECT_FALSE(layer->defaultContext(spec)) << name;
    EXPECT_EQ(layer->open(box, spec), 0) << name;
  }
}

TEST(QtTabletLayer, QueueKeepsTheNewestThirtyTwoPacketsOldestFirst) {
  QPointingDevice pen{"pen", 21, QInputDevice::DeviceType::Stylus,
                      QPointingDevice::PointerType::Pen, QInputDevice::Capability::Pressure, 1, 2};
  PictureBox box(10, 10, false);
  auto layer = makeTabletLayer("xcb");
  TabletContextSpec spec;
  ASSERT_TRUE(layer->defaultContext(spec));
  const int32_t context = layer->open(box, spec);
  ASSERT_GT(context, 1);
  ASSERT_TRUE(layer->setQueueSize(context, 32));
  for (int i = 0; i < 40; ++i) {
    QTabletEvent event(QEvent::TabletMove, &pen, QPointF(3, 3), QPointF(3, 3), 0.5, 0, 0, 0, 0, 0,
                       Qt::NoModifier, Qt::NoButton, Qt::NoButton);
    QApplication::sendEvent(&box, &event);
    EXPECT_FALSE(event.isAccepted());  // so Qt still synthesizes the mouse event
  }
  std::vector<int32_t> serials;
  TabletPacket packet;
  while (layer->packetsGet(context, packet) == 1) serials.push_back(packet.pkSerialNumber);
  ASSERT_EQ(serials.size(), 32u);
  EXPECT_EQ(serials.front(), 9);
  EXPECT_EQ(serials.back(), 40);
  EXPECT_EQ(packet.pkSerialNumber, 40);  // an empty fetch leaves the packet alone

  layer->close(context);
  QTabletEvent late(QEvent::TabletMove, &pen, QPointF(3, 3), QPointF(3, 3), 0.5, 0, 0, 0, 0, 0,
                    Qt::NoModifier, Qt::NoButton, Qt::NoButton);
  QApplication::sendEvent(&box, &late);
  EXPECT_EQ(layer->packetsGet(context, packet), 0);
}
