#pragma once
// A brush host that logs into a real StrokeLog and keeps what the meter and the
// indicator were last told; a random source with a fixed value.
#include <utility>
#include <vector>

#include "brush/BrushEngine.h"
#include "strokes/StrokeLog.h"

struct FakeBrushHost : brush::BrushHost {
  StrokeLog log;
  std::pair<int, Colour> meter{0, colours::White};  // position and colour of the last bar
  Colour indicator = colours::White;

  void appendStrokeRecord(StrokeKind kind, int32_t x, int32_t y, int32_t width) override {
    log.appendStrokeRecord(kind, x, y, width);
  }
  void drawPressureBar(int position, Colour colour) override { meter = {position, colour}; }
  void clearPressureBar() override { meter = {0, colours::White}; }
  void setMouseIndicator(Colour colour) override { indicator = colour; }

  std::vector<StrokeRecord> records() const {
    std::vector<StrokeRecord> out;
    for (int32_t i = 0; i < log.logEnd(); ++i) out.push_back(log.at(i));
    return out;
  }
};

struct FixedRandom : brush::RandomSource {
  double value = 0.0;
  double next() override { return value; }
};
