// The brush engine on plain values: width factor, pen-up tail, ink choice and the
// mouse-mode width clock, drawn into a real retained image.
#include <gtest/gtest.h>

#include <cmath>

#include "brush/BrushEngine.h"
#include "platform/RetainedImage.h"
#include "tests/support/FakeBrushHost.h"

namespace {

using brush::BrushEngine;

struct BrushFixture : ::testing::Test {
  RetainedImage canvas{512, 512};
  FakeBrushHost host;
  FixedRandom random;
  BrushEngine engine{canvas, host, random};

  void tabletMode(int width) {
    host.pen = {1, 512, 100};
    canvas.setDrawWidth(width);
  }
  void mouseMode(int bmin, int bmax, bool sumiro = true) {
    host.pen = {};
    host.options = {sumiro, false, bmin, bmax};
  }
  std::vector<int32_t> widthsOf(StrokeKind kind, size_t from = 0) const {
    std::vector<int32_t> widths;
    const auto records = host.records();
    for (size_t i = from; i < records.size(); ++i)
      if (records[i].kind == int16_t(kind)) widths.push_back(records[i].width);
    return widths;
  }
};

// --- width factor -----------------------------------------------------------------

TEST_F(BrushFixture, HorizontalMovesWidenBy40PercentInSteps) {
  tabletMode(40);
  engine.mouseDown(1, 0, 100, 100);
  for (int i = 1; i <= 5; ++i) engine.mouseMove(1, 0, 100 + 10 * i, 100);
  EXPECT_EQ(widthsOf(StrokeKind::Line), (std::vector<int32_t>{44, 48, 52, 56, 56}));
  engine.mouseMove(1, 0, 150, 130);  // vertical: back by one step
  EXPECT_DOUBLE_EQ(engine.prevw(), 1.3);
  EXPECT_EQ(canvas.drawWidth(), 40) << "the base width is restored after each segment";
}

TEST_F(BrushFixture, FactorStepDependsOnBaseWidth) {
  for (auto [base, moves] : {std::pair{50, 4}, {51, 8}, {100, 8}, {101, 16}, {250, 16}}) {
    FakeBrushHost h;
    h.pen = {1, 0, 0};
    h.options.sumiro = true;
    RetainedImage c(512, 512);
    c.setDrawWidth(base);
    BrushEngine e(c, h, random);
    e.mouseDown(1, 0, 0, 200);
    for (int i = 1; i < moves; ++i) e.mouseMove(1, 0, 3.0f * i, 200);
    EXPECT_LT(e.prevw(), 1.4) << "base " << base << " after " << moves - 1 << " moves";
    e.mouseMove(1, 0, 3.0f * moves, 200);
    EXPECT_EQ(e.prevw(), 1.4) << "base " << base << " after " << moves << " moves";
  }
}

TEST_F(BrushFixture, VerticalDiagonalAndPlainModeKeepFactorOne) {
  tabletMode(40);
  engine.mouseDown(1, 0, 100, 100);
  engine.mouseMove(1, 0, 100, 120);  // vertical
  engine.mouseMove(1, 0, 110, 130);  // exact diagonal: ay == ax
  EXPECT_EQ(engine.prevw(), 1.0);
  host.options.sumiro = false;
  engine.mouseMove(1, 0, 160, 130);  // horizontal without SumiroMode: target unchanged
  EXPECT_EQ(engine.prevw(), 1.0);
  EXPECT_EQ(widthsOf(StrokeKind::Line), (std::vector<int32_t>{40, 40, 40}));
}

TEST_F(BrushFixture, UpdateWReachesTargetWithoutOvershoot) {
  tabletMode(40);
  engine.mouseDown(1, 0, 0, 0);
  engine.mouseMove(1, 0, 50, 0);  // target 1.4, factor 1.1
  engine.updateW(1.0);
  EXPECT_EQ(engine.prevw(), 1.4);
  engine.mouseMove(1, 0, 50, 50);  // target 1.0
  engine.updateW(5.0);
  EXPECT_EQ(engine.prevw(), 1.0);
  engine.updateW(0.1);
  EXPECT_EQ(engine.prevw(), 1.0);
}

// --- pen-up tail --------------------------------------------------------------------

TEST_F(BrushFixture, TailFromThirtyHasSixteenEvenStepsWithoutFraying) {
  mouseMode(30, 30);
  engine.mouseDown(1, 0, 100, 100);
  engine.mouseMove(1, 0, 100, 104);
  engine.mouseUp(1, 0, 100, 104);
  const auto records = host.records();
  ASSERT_EQ(records.size(), 1u + 1u + 16u + 1u);
  const std::vector<int32_t> expected{28, 26, 25, 23, 21, 19, 17, 16, 14, 12, 10, 8, 6, 5, 3, 1};
  EXPECT_EQ(widthsOf(StrokeKind::Line, 2), expected);
  // The tail starts at the release point and runs on by a fifth of the last move (4 -> 1).
  EXPECT_EQ(records[2].x, 100);
  EXPECT_EQ(records[2].y, 104);
  EXPECT_EQ(records[17].y, 104 + 15);
  EXPECT_EQ(records.back(), (StrokeRecord{3, 0, 0, 0}));
}

TEST_F(BrushFixture, TailFromFiftyFraysOnlyWhileAboveThirty) {
  for (double r : {0.0, 0.999}) {
    FakeBrushHost h;
    h.options = {true, false, 50, 50};
    FixedRandom fixed;
    fixed.value = r;
    RetainedImage c(512, 512);
    BrushEngine e(c, h, fixed);
    e.mouseDown(1, 0, 200, 100);
    e.mouseMove(1, 0, 200, 103);
    e.mouseUp(1, 0, 200, 103);
    const auto records = h.records();
    ASSERT_EQ(records.size(), 1u + 1u + 20u + 1u);
    double width = 50;  // the tail narrows by repeated steps of 49 / 20
    for (int k = 1; k <= 20; ++k) {
      width = k == 20 ? 1.0 : width - 2.45;
      const int plain = int(std::nearbyint(width));
      const int expected = width > 30 ? int(std::nearbyint(r * 6 + plain - 3)) : plain;
      EXPECT_EQ(records[size_t(k) + 1].width, std::max(expected, 1)) << "step " << k << " r " << r;
    }
    EXPECT_EQ(records[21].width, 1);
  }
}

TEST_F(BrushFixture, TailFromThirtyOneNeverFrays) {
  random.value = 0.0;
  mouseMode(31, 31);
  engine.mouseDown(1, 0, 100, 100);
  engine.mouseMove(1, 0, 100, 102);
  engine.mouseUp(1, 0, 100, 102);
  const auto widths = widthsOf(StrokeKind::Line, 2);
  ASSERT_EQ(widths.size(), 16u);  // round(31 / 5 + 10)
  EXPECT_EQ(widths.front(), 29);  // 31 - 1.875 = 29.125, not frayed to 26
  EXPECT_EQ(widths.back(), 1);
}

TEST_F(BrushFixture, NoTailWithoutSumiroModeOrForAStillClick) {
  mouseMode(10, 10, false);
  engine.mouseDown(1, 0, 10, 10);
  engine.mouseMove(1, 0, 10, 30);
  engine.mouseUp(1, 0, 10, 30);
  EXPECT_EQ(host.records().size(), 3u) << "Begin, one Line, End";

  mouseMode(10, 10, true);
  host.log.clearStrokeLog();
  engine.mouseDown(1, 0, 10, 10);
  engine.mouseUp(1, 0, 10, 10);
  EXPECT_EQ(host.records().size(), 2u) << "a click without movement draws no tail";
}

TEST_F(BrushFixture, FrayedWidthNeverFallsBelowOne) {
  random.value = 0.0;
  mouseMode(1, 250);
  host.options.sumiro = true;
  engine.mouseDown(1, 0, 100, 100);
  for (int i = 0; i < 249; ++i) engine.mouseWidthTick();
  engine.mouseMove(1, 0, 100, 101);
  engine.mouseUp(1, 0, 100, 101);
  for (int32_t w : widthsOf(StrokeKind::Line)) EXPECT_GE(w, 1);
  EXPECT_EQ(widthsOf(StrokeKind::Line).back(), 1);
}

// --- ink choice ---------------------------------------------------------------------

struct InkCase {
  int cursor, altitude;
  bool mouseModeBox;
  int button, shift;
  StrokeKind expected;
};

TEST_F(BrushFixture, InkFollowsButtonsModifiersAndPenEnd) {
  const InkCase cases[] = {
      // no pen: mouse mode, left button alone is black whatever the modifiers
      {0, 0, false, 1, 0, StrokeKind::Begin},
      {0, 0, false, 1, 1, StrokeKind::Begin},
      {0, 0, false, 2, 0, StrokeKind::BeginGrey},
      {0, 0, false, 4, 0, StrokeKind::BeginGrey},
      {0, 0, false, 3, 0, StrokeKind::BeginGrey},
      // "Mouse Mode" ticked: modifiers must agree with the pen's end
      {1, 100, true, 1, 0, StrokeKind::Begin},
      {1, 100, true, 1, 2, StrokeKind::BeginGrey},
      {1, -100, true, 1, 4, StrokeKind::Begin},
      {1, -100, true, 1, 0, StrokeKind::BeginGrey},
      {1, 100, true, 2, 0, StrokeKind::BeginGrey},
      // tablet mode: grey when exactly one of modifier / inverted pen; button ignored
      {1, 100, false, 1, 0, StrokeKind::Begin},
      {1, 100, false, 1, 1, StrokeKind::BeginGrey},
      {1, 100, false, 1, 2, StrokeKind::BeginGrey},
      {1, -100, false, 1, 0, StrokeKind::BeginGrey},
      {1, -100, false, 1, 4, StrokeKind::Begin},
      {1, 100, false, 2, 0, StrokeKind::Begin},
  };
  for (const InkCase& c : cases) {
    host.log.clearStrokeLog();
    host.pen = {c.cursor, 300, c.altitude};
    host.options.mouseMode = c.mouseModeBox;
    engine.mouseDown(c.button, c.shift, 50, 50);
    EXPECT_EQ(host.log.at(0).kind, int16_t(c.expected))
        << "cursor " << c.cursor << " alt " << c.altitude << " box " << c.mouseModeBox
        << " button " << c.button << " shift " << c.shift;
    EXPECT_EQ(canvas.foreColor(),
              c.expected == StrokeKind::Begin ? colours::Black : colours::LightGreyInk);
    engine.mouseUp(c.button, c.shift, 50, 50);
  }
}

TEST_F(BrushFixture, ModeSetsIndicatorAndMeter) {
  mouseMode(5, 20);
  engine.mouseDown(1, 0, 10, 10);
  EXPECT_EQ(host.indicator, colours::Red);
  EXPECT_EQ(canvas.drawWidth(), 5);
  engine.mouseUp(1, 0, 10, 10);
  EXPECT_EQ(host.indicator, colours::White);
  EXPECT_EQ(host.meterClears, 1);

  host.pen = {1, 512, 0};
  engine.mouseDown(1, 0, 10, 10);
  ASSERT_FALSE(host.meter.empty());
  EXPECT_EQ(host.meter.back(), (std::pair<int, Colour>{60, colours::Blue}))
      << "round(121 * 512 / 1024) = round(60.5) = 60, halves to even";
}

TEST_F(BrushFixture, SecondButtonStartsANewStrokeWithoutEnd) {
  mouseMode(3, 3);
  engine.mouseDown(1, 0, 10, 10);
  engine.mouseMove(3, 0, 12, 10);
  engine.mouseDown(2, 0, 14, 10);
  engine.mouseUp(2, 0, 14, 10);
  engine.mouseUp(1, 0, 14, 10);
  std::vector<int16_t> kinds;
  for (const auto& r : host.records()) kinds.push_back(r.kind);
  EXPECT_EQ(kinds, (std::vector<int16_t>{1, 2, 10, 3, 3}));
}

// --- mouse-mode width clock --------------------------------------------------------

TEST_F(BrushFixture, HeldButtonGrowsOnePixelPerTickUpToMax) {
  mouseMode(1, 20);
  engine.mouseDown(1, 0, 30, 40);
  for (int i = 0; i < 30; ++i) engine.mouseWidthTick();
  EXPECT_EQ(engine.mouseWidth(), 20);
  const auto records = host.records();
  ASSERT_EQ(records.size(), 1u + 19u);
  for (size_t i = 1; i < records.size(); ++i) {
    EXPECT_EQ(records[i], (StrokeRecord{2, 30, 40, int32_t(i) + 1}));
  }
  EXPECT_EQ(host.meter.back(), (std::pair<int, Colour>{121, colours::Red}));
}

TEST_F(BrushFixture, FastSumiroMovesSettleJustAboveThreeQuartersOfMax) {
  mouseMode(1, 40);
  engine.mouseDown(1, 0, 0, 100);
  for (int i = 0; i < 39; ++i) engine.mouseWidthTick();
  ASSERT_EQ(engine.mouseWidth(), 40);
  for (int i = 1; i <= 40; ++i) {
    engine.mouseMove(1, 0, 10.0f * i, 100);
    engine.mouseWidthTick();
    if (i > 12) {
      EXPECT_GE(engine.mouseWidth(), 30);
      EXPECT_LE(engine.mouseWidth(), 31);
    }
  }
}

TEST_F(BrushFixture, SlowMovesAndPlainModeOnlyGrow) {
  mouseMode(1, 40);
  engine.mouseDown(1, 0, 0, 100);
  for (int i = 0; i < 34; ++i) engine.mouseWidthTick();
  ASSERT_EQ(engine.mouseWidth(), 35);
  engine.mouseMove(1, 0, 5, 100);  // exactly 5: slow
  engine.mouseWidthTick();
  EXPECT_EQ(engine.mouseWidth(), 37);

  host.options.sumiro = false;
  engine.mouseMove(1, 0, 50, 100);  // fast, but no SumiroMode
  EXPECT_EQ(engine.mouseWidth(), 38);
}

TEST_F(BrushFixture, EqualLimitsWithoutSumiroLogNoClockRecords) {
  mouseMode(12, 12, false);
  engine.mouseDown(1, 0, 20, 20);
  for (int i = 0; i < 10; ++i) engine.mouseWidthTick();
  EXPECT_EQ(host.records().size(), 1u);
  EXPECT_EQ(host.meter.back(), (std::pair<int, Colour>{121, colours::Red}));
}

TEST_F(BrushFixture, TicksBetweenStrokesDoNothing) {
  mouseMode(1, 20);
  engine.mouseWidthTick();
  engine.mouseDown(1, 0, 20, 20);
  engine.mouseUp(1, 0, 20, 20);
  engine.mouseWidthTick();
  EXPECT_EQ(host.records().size(), 2u);
  EXPECT_EQ(canvas.drawWidth(), 1) << "after a mouse stroke the width returns to BMin";
}

}  // namespace
