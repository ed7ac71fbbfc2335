#pragma once
// A brush host with settable pen values and options that logs into a real StrokeLog
// and remembers what the meter and the indicator were told.
#include <vector>

#include "brush/BrushEngine.h"
#include "strokes/StrokeLog.h"

struct FakeBrushHost : brush::BrushHost {
  brush::PenValues pen;
  brush::BrushOptions options;
  StrokeLog log;
  int readings = 0;
  bool started = false;
  std::vector<std::pair<int, Colour>> meter;
  int meterClears = 0;
  Colour indicator = colours::White;

  void readTabletPackets() override { ++readings; }
  brush::PenValues penValues() const override { return pen; }
  brush::BrushOptions brushOptions() const override { return options; }
  void appendStrokeRecord(StrokeKind kind, int32_t x, int32_t y, int32_t width) override {
    log.appendStrokeRecord(kind, x, y, width);
  }
  void strokeStarted() override { started = true; }
  int pressureBarWidth() const override { return 121; }
  void drawPressureBar(int position, Colour colour) override { meter.emplace_back(position, colour); }
  void clearPressureBar() override { ++meterClears; }
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
