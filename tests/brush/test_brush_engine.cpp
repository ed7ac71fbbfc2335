// The brush engine driven by pen samples with explicit times on a retained picture:
// width factor, pen-up tail, ink choice, where the tablet reading takes effect, the
// mouse-mode width clock, and replay of the records giving the live marks.
#include <gtest/gtest.h>

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
  // Down at the first point, a move to each further one, up at the last.
  void stroke(const std::vector<Point>& points) {
    engine.down(at(points.front()));
    for (size_t i = 1; i < points.size(); ++i) engine.move(at(points[i]));
    engine.up(at(points.back()));
  }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) engine.tick(pen.time += 25);
  }
  std::vector<int32_t> lineWidths() const {
    std::vector<int32_t> widths;
    for (const StrokeRecord& r : host.records())
      if (r.kind == int16_t(StrokeKind::Line)) widths.push_back(r.width);
    return widths;
  }
};

TEST_F(Brush, WidthFactorFollowsTheDirectionOfEachMove) {
  struct Case { const char* what; bool sumiro; std::vector<Point> moves; std::vector<int32_t> widths; };
  for (const Case& c : {Case{"horizontal widens by 0.1 a move up to 1.4; vertical narrows", true,
                              {{110, 100}, {120, 100}, {130, 100}, {140, 100}, {150, 100}, {150, 130}},
                              {44, 48, 52, 56, 56, 52}},
                         Case{"vertical and the exact diagonal keep 1.0", true, {{100, 120}, {110, 130}}, {40, 40}},
                         Case{"horizontal without SumiroMode keeps 1.0", false, {{150, 100}}, {40}}}) {
    host.log.clearStrokeLog();
    limits(1, 250, c.sumiro);
    pen.cursor = 1;
    canvas.setDrawWidth(40);
    engine.down(at({100, 100}));
    for (Point p : c.moves) engine.move(at(p));
    EXPECT_EQ(lineWidths(), c.widths) << c.what;
    EXPECT_EQ(canvas.drawWidth(), 40) << c.what << ": the base width is restored after each segment";
  }
}

TEST_F(Brush, FactorStepDependsOnBaseWidth) {
  for (auto [base, moves] : {std::pair{50, 4}, {51, 8}, {100, 8}, {101, 16}, {250, 16}}) {
    limits(1, 250);
    pen.cursor = 1;
    canvas.setDrawWidth(base);
    engine.down(at({0, 200}));
    for (int i = 1; i < moves; ++i) engine.move(at({3.0f * i, 200}));
    EXPECT_LT(engine.prevw(), 1.4) << "base " << base << " after " << moves - 1 << " moves";
    engine.move(at({3.0f * moves, 200}));
    EXPECT_EQ(engine.prevw(), 1.4) << "base " << base << " after " << moves << " moves";
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
    stroke(c.moved ? std::vector<Point>{{100, 100}, {100, 104}} : std::vector<Point>{{100, 100}});
    const auto records = host.records();
    const size_t tail = c.moved ? 2 : 1;
    ASSERT_EQ(records.size(), tail + c.steps + 1) << "width " << c.width;
    for (size_t k = 0; k < c.steps; ++k)
      EXPECT_EQ(records[tail + k].y, 104 + int32_t(k)) << "width " << c.width << " step " << k;
    for (auto [k, w] : c.widths)
      EXPECT_EQ(records[tail + k].width, w) << "width " << c.width << " r " << c.random;
    EXPECT_EQ(records.back(), (StrokeRecord{3, 0, 0, 0}));
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
    EXPECT_EQ(host.log.at(0).kind, int16_t(c.expected))
        << "cursor " << c.cursor << " alt " << c.altitude << " box " << c.mouseModeBox
        << " buttons " << c.buttons << " modifiers " << c.modifiers;
    EXPECT_EQ(canvas.foreColor(), c.expected == StrokeKind::Begin ? colours::Black : colours::LightGreyInk);
    engine.up(at({50, 50}, c.buttons));
  }
}

// Mouse mode shows on the indicator, tablet mode on the meter. The reading a sample
// carries takes effect where the packets were read: before the mode is chosen at
// button-down, after the tail at button-up.
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
  engine.up(at({10, 10}));
  pen.cursor = 0;
  engine.down(at({10, 10}));
  EXPECT_EQ(host.indicator, colours::Red);
  engine.up(at({10, 10}));
  EXPECT_EQ(host.indicator, colours::White);
}

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
    engine.down(at({0, 100}));
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
  }
}

TEST_F(Brush, TicksOutsideStrokesDoNothingAndASecondButtonStartsANewStroke) {
  limits(3, 3);
  ticks(5);
  engine.down(at({10, 10}));
  engine.move(at({12, 10}, LeftButton | RightButton));
  engine.down(at({14, 10}, RightButton));
  engine.up(at({14, 10}, RightButton));
  engine.up(at({14, 10}));
  ticks(5);
  std::vector<int16_t> kinds;
  for (const StrokeRecord& r : host.records()) kinds.push_back(r.kind);
  EXPECT_EQ(kinds, (std::vector<int16_t>{1, 2, 10, 3, 3})) << "no End for the first stroke";
  EXPECT_EQ(canvas.drawWidth(), 3) << "after a mouse stroke the width returns to BMin";
}

TEST_F(Brush, ReplayOfTheRecordsMakesTheLiveMarks) {
  random.value = 0.5;
  limits(1, 60);
  engine.down(at({20, 20}));
  ticks(45);
  for (Point p : {Point{60, 24}, {100, 30}, {140, 31}}) engine.move(at(p));
  engine.up(at({140, 31}));  // a wide mouse stroke with a frayed tail
  pen = {0, 0, 0, ShiftKey, 1, 700, 300, true, pen.time};
  stroke({{200, 200}, {203, 240}, {240, 242}});  // a grey tablet stroke

  RetainedImage replayed(512, 512);
  replayStrokes(host.log, replayed, 0, host.log.logEnd() - 1);
  EXPECT_EQ(replayed.image(), canvas.image());
  EXPECT_EQ(replayed.foreColor(), colours::LightGreyInk) << "the surface keeps the last ink";
}

}  // namespace
