// Canvas checkpoints: a redraw from a checkpoint draws exactly what a full replay draws,
// whatever changed in the log or the picture underneath.
#include <gtest/gtest.h>

#include <functional>

#include "app/ReplayCheckpoints.h"
#include "brush/StrokeReplay.h"
#include "canvas/RetainedImage.h"
#include "strokes/StrokeLog.h"

namespace {

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
