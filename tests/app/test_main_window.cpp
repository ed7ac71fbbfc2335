// The drawing side of the main window: mouse and pen strokes on the real canvas, the
// sliders, Clear / UnDo / ReDo and the checkpoints its redraws start from, the character
// field and the start-up state, the reference character. Widths, ink, readout and the
// guide's rules are the units'.
#include <QAction>
#include <QKeyEvent>
#include <QPointingDevice>
#include <QSlider>
#include <QTabletEvent>
#include <QTest>
#include <QWindow>
#include <functional>

#include "app/ReplayCheckpoints.h"
#include "brush/StrokeReplay.h"
#include "canvas/RetainedImage.h"
#include "platform/TabletLayer.h"
#include "reference/ReferenceGuide.h"
#include "tests/app/AppHarness.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr float kTwips = 15.0f;

struct MainWindow : AppTest {
  void press(QPointF p) { mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, p); }
  void drag(QPointF p) { mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, p); }
  void release(QPointF p) { mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p); }
  uint32_t pixel(int x, int y) { return form->canvas().image().pixel(x, y); }
  StrokeRecord record(int32_t i) { return peek(*form).strokeLog().at(i); }
  uint32_t meter() { return form->PictureTabletPressure->picture().image().pixel(0, 4); }
};

TEST_F(MainWindow, SlidersDragEachOtherAlong) {
  build();
  form->SliderMax->setValue(80);
  form->SliderMin->setValue(120);
  EXPECT_EQ(peek(*form).BMax(), 120);
  form->SliderMin->setValue(10);
  form->SliderMax->setValue(3);
  EXPECT_EQ(peek(*form).BMin(), 3);
  form->SliderMax->setValue(9);
  EXPECT_EQ(peek(*form).BMin(), 3) << "moving away in the permitted direction moves only one";
}

// SumiroMode, ticked at start-up, runs the tail on past the pen-up.
TEST_F(MainWindow, StrokesDrawAndUndoRedoAndClearShowOnTheCanvas) {
  build();
  drawStroke(50);
  EXPECT_EQ(pixel(50, 130), kBlack) << "the Sumiro tail";
  form->setCheckValue(form->CheckSumiro, 0);
  form->setCheckValue(form->CheckRefChar, 0);
  form->CommandClear->click();
  drawStroke(100);
  drawStroke(200);
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
  press(QPointF(10, 10));
  EXPECT_FALSE(peek(*form).clearPending()) << "a pen-down ends the cleared state";
}

// Regressions: a text field with the focus took Ctrl+Z, Ctrl+Y and Ctrl+C for its own
// editing, so the strokes were not undone, redone or cleared; Enter and Tab made the
// control codes 0x0D and 0x09 the character and left empty stroke files for them.
TEST_F(MainWindow, MenuShortcutsActWhicheverControlHasTheFocusAndEnterOrTabIsNoCharacter) {
  fakes.settings.values = {{"SetSB", "1"}};
  openLatin();
  form->show();
  QApplication::setActiveWindow(form.get());
  QTest::mouseClick(form->PictureDOT, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_TRUE(form->PictureDOT->hasFocus()) << "a click on the canvas takes the focus";
  const struct {
    QLineEdit* field;
    Qt::Key key;
    std::function<bool()> done;
  } steps[] = {{form->TextChar, Qt::Key_Z, [&] { return records() == 0; }},
               {form->TextLSB, Qt::Key_Y, [&] { return records() > 0; }},
               {form->TextRSB, Qt::Key_T, [&] { return !document().imports.empty(); }},
               {form->TextFace, Qt::Key_C, [&] { return records() == 0; }},
               {form->TextChar, Qt::Key_N, [&] { return code() == 0x42; }},
               {form->TextChar, Qt::Key_P, [&] { return code() == 0x41; }}};
  for (const auto& step : steps) {
    step.field->setFocus();
    QTest::keyClick(step.field, step.key, Qt::ControlModifier);
    EXPECT_TRUE(step.done()) << "Ctrl+" << char(step.key);
  }
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab}) QTest::keyClick(form->TextChar, key);
  EXPECT_EQ(code(), 0x41);
}

// Regressions: stored values equal to a box's initial state ran no handler, so the
// guide was off with its controls still enabled, and the bearings were editable; the
// start-up character used a code page of its own and a negative (sign-extended
// double-byte) code fell back to 33.
TEST_F(MainWindow, StoredCheckBoxesAndCharacterReachTheirControlsWhateverTheyHold) {
  for (const bool on : {false, true}) {
    editor::setSystemCodePage(codepage::CodePage::Cp932);
    fakes.settings.values = {{"RefChar", on ? "1" : "0"}, {"SetSB", on ? "1" : "0"}, {"Char", "-32096"}};
    build();
    for (QWidget* w : std::initializer_list<QWidget*>{form->TextFace, form->TextLSB})
      EXPECT_EQ(w->isEnabled(), on) << w->metaObject()->className();
    EXPECT_EQ(form->LabelChar->backColour(), on ? colours::SystemWindow : colours::SystemButtonFace);
  }
  EXPECT_EQ(code(), -32096);
  EXPECT_EQ(form->LabelChar->text(), QStringLiteral("あ"));
  EXPECT_EQ(form->TextChar->text(), QStringLiteral("あ"));
  EXPECT_EQ(form->LabelCode->text(), "82A0");
}

TEST_F(MainWindow, NoTabletOrARefusedContextIsReportedAtStartAndAtEveryReset) {
  const std::unique_ptr<TabletLayer> offscreen = platform::makeTabletLayer("offscreen");
  services.tablet = offscreen.get();
  build();
  EXPECT_EQ(form->LabelStat->text(), "Tablet Driver is not available...");
  EXPECT_TRUE(prompts.asked.empty());

  fakes.tablet.isPresent = true;
  fakes.tablet.refuseOpen = true;
  services.tablet = &fakes.tablet;
  build();
  form->CommandResetTablet->click();
  EXPECT_EQ(prompts.asked.size(), 2u) << "at start-up and at every reset";
}

// The real layer, fed by synthetic tablet events.
struct RealLayer : MainWindow {
  std::unique_ptr<TabletLayer> layer = platform::makeTabletLayer("xcb");
  QPointingDevice pen{"pen", 11, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
                      QInputDevice::Capability::Pressure, 1, 2};
  QPointingDevice eraser{"eraser", 12, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Eraser,
                         QInputDevice::Capability::Pressure, 1, 2};

  void SetUp() override {
    services.tablet = layer.get();
    build();
  }
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
    if (type == QEvent::TabletMove) drag(p);
    if (up) release(p);
  }
  QString readout(int item) { return form->Label1->text().split("\r\n").value(item); }
};

// Regression: only the canvas queued the pen's packets, so a reading over the rest of
// the window found none and the width fell toward BMin instead of following the pen.
TEST_F(RealLayer, PenStrokesCarryThePressureWhereverThePenIsAndLeavingDropsItsPackets) {
  form->CommandResetTablet->click();
  ASSERT_EQ(form->LabelStat->text(), "");
  send(QEvent::TabletPress, pen, QPointF(200, 100), 1.0);
  EXPECT_EQ(meter(), 0xFF0000FFu) << "the meter shows the pressure in blue";
  for (int i = 1; i <= 3; ++i) send(QEvent::TabletMove, pen, QPointF(200, 100 + 3 * i), 0.5);
  send(QEvent::TabletRelease, pen, QPointF(200, 109), 0.0);
  EXPECT_EQ(record(3).width, 10);  // half pressure, the last 4 at once
  EXPECT_EQ(meter(), kWhite) << "and clears at the pen-up";

  tabletAt(QEvent::TabletMove, pen, form->CommandClear->mapToGlobal(QPointF(5, 5)), 0.25, Qt::NoButton);
  form->Form_MouseMove(0, 0, 655, 10);
  EXPECT_EQ(readout(7), "256");  // pkNormalPressure
  send(QEvent::TabletPress, eraser, QPointF(50, 60), 0.5);
  EXPECT_EQ(record(records() - 1).kind, int16_t(StrokeKind::BeginGrey));
  EXPECT_EQ(readout(14), QString::number(wintab::TPS_INVERT));  // pkStatus
  send(QEvent::TabletRelease, eraser, QPointF(50, 60), 0.0);

  // A packet queued but not yet read when the pen leaves is stale.
  tabletAt(QEvent::TabletMove, pen, form->PictureDOT->mapToGlobal(QPointF(81, 81)), 0.8, Qt::NoButton);
  QTabletEvent leave(QEvent::TabletLeaveProximity, &pen, QPointF(), QPointF(), 0, 0, 0, 0, 0, 0,
                     Qt::NoModifier, Qt::NoButton, Qt::NoButton);
  QApplication::sendEvent(qApp, &leave);
  press(QPointF(80, 80));
  EXPECT_TRUE(peek(*form).brushEngine().mouseDrawing());
}

struct Reference : MainWindow {
  void SetUp() override { build(); }
  // Marks the canvas so a later recomposition is visible: it would paint the pixel over.
  void markCanvas() { form->canvas().image().setPixel(3, 3, kBlack); }
  bool canvasMarked() { return pixel(3, 3) == kBlack; }
  void move(float x, float y) { form->LabelChar_MouseMove(1, 0, x * kTwips, y * kTwips); }
};

TEST_F(Reference, AFaceShowsItsRealisedFaceAndRedrawsOnlyWhenThatChanges) {
  form->TextFace->setText(QString::fromUtf8("ＭＳ 明朝"));
  EXPECT_EQ(form->LabelCurFace->text(), "IPAMincho");
  EXPECT_EQ(form->TextChar->font().family(), "IPAMincho");
  form->TextFace->setText("No Such Face Alpha");
  const QString substitute = form->LabelCurFace->text();
  markCanvas();
  form->TextFace->setText("No Such Face Beta");
  EXPECT_EQ(form->LabelCurFace->text(), substitute);
  EXPECT_TRUE(canvasMarked());
  form->TextFace->setText("MS Mincho");
  EXPECT_FALSE(canvasMarked()) << "a new face redraws the guide";
  markCanvas();
  form->TextFace->setText("");
  EXPECT_EQ(form->LabelChar->realisedFace(), "IPAMincho");
  EXPECT_TRUE(canvasMarked());
}

TEST_F(Reference, WesternFaceTurnsDoubleByteCodesIntoAAndKeepsSingleBytes) {
  for (const auto& [start, after] : {std::pair{0x100, 0x41}, {-1, 0x41}, {0xFF, 0xFF}}) {
    form->TextFace->setText("MS Gothic");
    peek(*form).setCurrentCharCode(start);
    form->TextFace->setText("Arial");
    EXPECT_EQ(code(), after) << start;
  }
}

// Above the guide line the canvas shows the label enlarged only while the guide is on;
// the switch redraws. The exported glyph holds the black strokes only, not the guide line.
TEST_F(Reference, TheGuideSwitchShowsTheEnlargedLabelOnTheCanvasButNeverInTheGlyph) {
  form->TextFace->setText("MS Gothic");
  form->LabelChar->setText(QString::fromUtf8("永"));
  form->LabelChar->setForeColour(colours::SystemAppWorkspace);  // the darker grey
  for (const bool on : {false, true}) {
    Form1::setCheckValue(form->CheckRefChar, on);
    RetainedImage expected(512, 512);
    if (on) reference::enlargeReference(form->LabelChar->render(), expected);
    int ink = 0;
    for (int y = 0; y < 442; ++y)
      for (int x = 0; x < 512; ++x) {
        const uint32_t want = expected.image().pixel(x, y);
        ASSERT_EQ(pixel(x, y), want) << x << "," << y << " guide " << on;
        ink += want != kWhite;
      }
    EXPECT_EQ(ink > 20 * 14 * 14, on) << "the character itself reached the canvas";
  }
  peek(*form).strokeLog().appendStrokeRecord(StrokeKind::Begin, 300, 200, 9);
  form->redrawCanvas();
  const QImage glyph(form->exportGlyphBitmap());
  EXPECT_EQ(glyph.pixel(300, 200), kBlack);
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x)
      ASSERT_TRUE(glyph.pixel(x, y) == kWhite || (std::abs(x - 300) <= 5 && std::abs(y - 200) <= 5)) << x << "," << y;
}

TEST_F(Reference, DragCropsFromThePressPointAndRedrawsAtTheRelease) {
  form->LabelChar_MouseDown(2, 0, 20 * kTwips, 20 * kTwips);
  markCanvas();
  move(13, 10);
  EXPECT_EQ(form->LabelChar->size(), QSize(30, 27));
  EXPECT_EQ(form->LabelStat->text(), "30, 27");
  move(20, 20);
  EXPECT_TRUE(canvasMarked()) << "moves do not redraw";
  form->LabelChar_MouseUp(2, 0, 20 * kTwips, 20 * kTwips);
  EXPECT_FALSE(canvasMarked()) << "the release redraws";
  move(2, 2);
  EXPECT_EQ(form->LabelChar->size(), QSize(37, 37)) << "no drag after the release";
  // 37 - 31 = 6; 5 and 3 are refused, yet the position is taken, so moving back right
  // by two grows from where the label stands.
  form->LabelChar_MouseDown(1, 0, 36 * kTwips, 36 * kTwips);
  for (const auto& [x, width] : {std::pair{5, 6}, {4, 6}, {1, 6}, {3, 8}}) {
    move(x, 36);
    EXPECT_EQ(form->LabelChar->width(), width) << x;
  }
}

// Canvas checkpoints: a redraw from a checkpoint draws exactly what a full replay draws,
// whatever changed in the log or the picture underneath.
void addStrokes(StrokeLog& log, int strokes, int seed) {
  for (int s = 0; s < strokes; ++s) {
    int x = (seed * 37 + s * 53) % 512, y = (seed * 11 + s * 29) % 512;
    log.appendStrokeRecord(s % 3 ? StrokeKind::Begin : StrokeKind::BeginGrey, x, y, 1 + s % 30);
    for (int i = 0; i < 20; ++i)
      log.appendStrokeRecord(StrokeKind::Line, x += 3, y += i % 5 - 2, 1 + (s + i) % 30);
    log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  }
}

void drawGuide(RetainedImage& surface, Colour guide) {
  surface.clear();
  surface.horizontalLine(0, 514, 442, guide);
}

TEST(ReplayCheckpoints, EveryRedrawEqualsAFullReplay) {
  StrokeLog log;
  addStrokes(log, 120, 1);  // 2,640 records
  Colour guide = colours::GuideLine;
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"first", [] {}},
      {"undo", [&] { for (int i = 0; i < 5; ++i) log.undoStroke(); }},
      {"redo", [&] { log.redoStroke(); log.redoStroke(); }},
      {"undo far", [&] { for (int i = 0; i < 60; ++i) log.undoStroke(); }},
      {"new strokes after undo", [&] { addStrokes(log, 3, 2); }},
      {"redo over the new strokes", [&] { log.redoStroke(); }},
      {"another log", [&] { log.clearStrokeLog(); addStrokes(log, 100, 3); }},
      {"another picture underneath", [&] { guide = colours::Black; log.undoStroke(); }}};
  ReplayCheckpoints checkpoints;
  RetainedImage surface(512, 512), full(512, 512);
  for (const auto& [name, step] : steps) {
    step();
    drawGuide(surface, guide);
    checkpoints.replay(log, surface);
    drawGuide(full, guide);
    replayStrokes(log, full, 0, log.logEnd() - 1);
    EXPECT_TRUE(surface.image() == full.image()) << name;
    EXPECT_EQ(surface.drawWidth(), full.drawWidth()) << name;
  }
}

}  // namespace
