// The brush engine driven by pen samples with explicit times on a retained picture:
// width factor, pen-up tail, ink choice, where the tablet reading takes effect, the
// mouse-mode width clock, and replay of the records giving the live marks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brush/BrushEngine.h"
#include "brush/StrokeReplay.h"
#include "canvas/RetainedImage.h"
#include "tests/support/FakeBrushHost.h"

namespace {

using namespace brush;
using Point = std::pair<float, float>;

struct Brush : ::testing::Test {
  RetainedImage canvas{512, 512};
  FakeBrushHost host;
  FixedRandom random;
  BrushEngine engine{canvas, host, random, 121};
  PenSample pen;  // the next sample's pen values; mouse mode to start with

  void limits(int bmin, int bmax, bool sumiro = true, bool mouseModeBox = false) {
    engine.setOptions({sumiro, mouseModeBox, bmin, bmax});
  }
  PenSample at(Point p, int buttons = LeftButton) {
    pen.time += 10;
    return {p.first, p.second, buttons, pen.modifiers, pen.cursor, pen.pressure, pen.altitude,
            pen.read, pen.time};
  }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) engine.tick(pen.time += 25);
  }
};

// Each move goes 10 pixels: h to the right, v down, d diagonally. `widths` are those of
// the last Lines: the factor reaches 1.4 in exactly 0.4 / step moves and stays there.
TEST_F(Brush, WidthFactorFollowsTheDirectionOfEachMoveInStepsSetByTheBaseWidth) {
  struct Case { const char* what; bool sumiro; int base; std::string moves; std::vector<int32_t> widths; };
  const Case cases[] = {
      {"horizontal widens up to 1.4; vertical narrows", true, 40, "hhhhhv", {44, 48, 52, 56, 56, 52}},
      {"vertical and the exact diagonal keep 1.0", true, 40, "vd", {40, 40}},
      {"horizontal without SumiroMode keeps 1.0", false, 40, "h", {40}},
      {"up to 50 the step is 0.1", true, 50, "hhhhh", {65, 70, 70}},
      {"above 50 it is 0.05", true, 51, std::string(9, 'h'), {69, 71, 71}},
      {"up to 100 it is 0.05", true, 100, std::string(9, 'h'), {135, 140, 140}},
      {"above 100 it is 0.025", true, 101, std::string(17, 'h'), {139, 141, 141}},
  };
  for (const Case& c : cases) {
    host.log.clearStrokeLog();
    limits(1, 250, c.sumiro);
    pen.cursor = 1;
    canvas.setDrawWidth(c.base);
    Point p{100, 100};
    engine.down(at(p));
    for (char m : c.moves) engine.move(at(p = {p.first + (m != 'v') * 10, p.second + (m != 'h') * 10}));
    std::vector<int32_t> widths;
    for (const StrokeRecord& r : host.records()) widths.push_back(r.width);
    EXPECT_EQ(std::vector<int32_t>(widths.end() - c.widths.size(), widths.end()), c.widths) << c.what;
  }
}

// A mouse-mode stroke of the given width, down at (100, 100) and released at (100, 104)
// after one move (or a still click): the tail runs on from the release point by a fifth
// of the last move (4 -> 1 pixel) per step; `widths` holds (step, width) pairs.
TEST_F(Brush, PenUpTailNarrowsEvenlyAndFraysOnlyAboveThirty) {
  struct Case { int width; bool sumiro, moved; double random; size_t steps; std::vector<std::pair<size_t, int32_t>> widths; };
  const Case cases[] = {
      {30, true, true, 0.0, 16, {{0, 28}, {1, 26}, {2, 25}, {7, 16}, {14, 3}, {15, 1}}},
      {50, true, true, 0.0, 20, {{0, 45}, {7, 27}, {8, 28}, {19, 1}}},  // 47.55 frays to 45
      {50, true, true, 0.999, 20, {{0, 51}, {7, 33}, {8, 28}}},
      {31, true, true, 0.0, 16, {{0, 29}, {15, 1}}},  // 29.125 is not frayed
      {10, false, true, 0.0, 0, {}},                  // no SumiroMode: no tail
      {10, true, false, 0.0, 0, {}},                  // a still click: no tail
  };
  for (const Case& c : cases) {
    host.log.clearStrokeLog();
    random.value = c.random;
    limits(c.width, c.width, c.sumiro);
    engine.down(at({100, 100}));
    if (c.moved) engine.move(at({100, 104}));
    engine.up(at({100, c.moved ? 104.0f : 100.0f}));
    const auto records = host.records();
    const size_t tail = c.moved ? 2 : 1;
    ASSERT_EQ(records.size(), tail + c.steps + 1) << "width " << c.width;
    for (size_t k = 0; k < c.steps; ++k)
      EXPECT_EQ(records[tail + k].y, 104 + int32_t(k)) << "width " << c.width << " step " << k;
    for (auto [k, w] : c.widths)
      EXPECT_EQ(records[tail + k].width, w) << "width " << c.width << " r " << c.random;
  }
}

TEST_F(Brush, InkFollowsButtonsModifiersAndPenEnd) {
  struct Case { int cursor, altitude; bool mouseModeBox; int buttons, modifiers; StrokeKind expected; };
  const Case cases[] = {
      // no pen: mouse mode, left button alone is black whatever the modifiers
      {0, 0, false, LeftButton, ShiftKey, StrokeKind::Begin},
      {0, 0, false, RightButton, 0, StrokeKind::BeginGrey},
      {0, 0, false, LeftButton | RightButton, 0, StrokeKind::BeginGrey},
      // "Mouse Mode" ticked: modifiers must agree with the pen's end
      {1, 100, true, LeftButton, 0, StrokeKind::Begin},
      {1, 100, true, LeftButton, CtrlKey, StrokeKind::BeginGrey},
      {1, -100, true, LeftButton, AltKey, StrokeKind::Begin},
      {1, -100, true, LeftButton, 0, StrokeKind::BeginGrey},
      // tablet mode: grey when exactly one of modifier / inverted pen; button ignored
      {1, 100, false, LeftButton, 0, StrokeKind::Begin},
      {1, 100, false, LeftButton, ShiftKey, StrokeKind::BeginGrey},
      {1, -100, false, LeftButton, 0, StrokeKind::BeginGrey},
      {1, -100, false, LeftButton, AltKey, StrokeKind::Begin},
      {1, 100, false, RightButton, 0, StrokeKind::Begin},
  };
  for (const Case& c : cases) {
    host.log.clearStrokeLog();
    limits(1, 20, true, c.mouseModeBox);
    pen.cursor = c.cursor;
    pen.altitude = c.altitude;
    pen.modifiers = c.modifiers;
    engine.down(at({50, 50}, c.buttons));
    EXPECT_EQ(host.log.at(0).kind, int16_t(c.expected)) << "cursor " << c.cursor << " alt " << c.altitude
        << " box " << c.mouseModeBox << " buttons " << c.buttons << " modifiers " << c.modifiers;
    engine.up(at({50, 50}, c.buttons));
  }
}

// The reading a sample carries takes effect where the packets were read: before the
// mode is chosen at button-down, after the tail at button-up.
TEST_F(Brush, TabletReadingSetsTheWidthAtItsStepOnlyAndShowsOnTheMeter) {
  limits(1, 20);
  pen.cursor = 1;
  pen.pressure = 1023;
  engine.follow(at({0, 0}));
  EXPECT_EQ(canvas.drawWidth(), 1) << "no reading taken (no open context): the width stays";
  pen.read = true;
  engine.follow(at({0, 0}));
  EXPECT_EQ(canvas.drawWidth(), 20);
  pen.pressure = 0;
  engine.down(at({100, 100}));
  EXPECT_EQ(host.log.at(0).width, 17) << "a fall of more than 5 goes 3 per reading";
  engine.up(at({100, 100}));
  EXPECT_EQ(host.log.at(1).width, 16) << "the tail narrows from 17, not from the release's 14";
  EXPECT_EQ(host.meter, (std::pair<int, Colour>{0, colours::White})) << "cleared at button-up";
  pen.pressure = 512;
  engine.down(at({10, 10}));
  EXPECT_EQ(host.meter, (std::pair<int, Colour>{60, colours::Blue})) << "round(60.5) halves to even";
}

// Ticks outside a stroke do nothing; the indicator is red during it, and after it the
// width returns to BMin.
TEST_F(Brush, WidthClockGrowsPerTickAndShrinksOnFastSumiroMoves) {
  // Each move goes `step` to the right and is followed by one tick.
  struct Case { const char* what; int bmin, bmax; bool sumiro; int holdTicks; float step; int moves, low, high; };
  const Case cases[] = {
      {"held still grows one pixel per tick up to BMax", 1, 20, true, 30, 0, 0, 20, 20},
      {"equal limits without SumiroMode never change", 12, 12, false, 10, 0, 0, 12, 12},
      {"a move of exactly 5 is slow", 1, 40, true, 34, 5, 1, 37, 37},
      {"fast without SumiroMode still grows", 1, 40, false, 34, 50, 1, 37, 37},
      {"a move of 6 is fast: above three quarters of BMax shrinks", 1, 40, true, 34, 6, 1, 33, 33},
      {"fast strokes settle just above three quarters", 1, 40, true, 39, 10, 40, 30, 31},
  };
  for (const Case& c : cases) {
    host.log.clearStrokeLog();
    limits(c.bmin, c.bmax, c.sumiro);
    ticks(5);
    engine.down(at({0, 100}));
    EXPECT_EQ(host.indicator, colours::Red);
    ticks(c.holdTicks);
    for (int i = 1; i <= c.moves; ++i) {
      engine.move(at({c.step * i, 100}));
      ticks(1);
    }
    EXPECT_GE(engine.mouseWidth(), c.low) << c.what;
    EXPECT_LE(engine.mouseWidth(), c.high) << c.what;
    if (c.moves == 0) {  // one Line per change, a round blot at the point
      std::vector<StrokeRecord> expected{{1, 0, 100, c.bmin}};
      for (int w = c.bmin + 1; w <= c.high; ++w) expected.push_back({2, 0, 100, w});
      EXPECT_EQ(host.records(), expected) << c.what;
      EXPECT_EQ(host.meter, (std::pair<int, Colour>{121, colours::Red})) << c.what;
    }
    engine.up(at({0, 100}));
    EXPECT_EQ(canvas.drawWidth(), c.bmin) << c.what;
    EXPECT_EQ(host.indicator, colours::White);
  }
}

TEST_F(Brush, ReplayOfTheRecordsMakesTheLiveMarks) {
  random.value = 0.5;
  limits(1, 60);
  engine.down(at({20, 20}));
  ticks(45);
  for (Point p : {Point{60, 24}, {100, 30}, {140, 31}}) engine.move(at(p));
  engine.up(at({140, 31}));  // a wide mouse stroke with a frayed tail
  pen = {0, 0, 0, ShiftKey, 1, 700, 300, true, pen.time};
  engine.down(at({200, 200}));  // a grey tablet stroke
  for (Point p : {Point{203, 240}, {240, 242}}) engine.move(at(p));
  engine.up(at({240, 242}));

  RetainedImage replayed(512, 512);
  replayStrokes(host.log, replayed, 0, host.log.logEnd() - 1);
  EXPECT_EQ(replayed.image(), canvas.image());
  EXPECT_EQ(replayed.foreColor(), colours::LightGreyInk) << "the surface keeps the last ink";
}

}  // namespace
