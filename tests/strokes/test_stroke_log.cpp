// The stroke log: capacity growth, undo and redo over whole strokes.
#include <gtest/gtest.h>

#include "strokes/StrokeLog.h"

namespace {

void addStroke(StrokeLog& log, int32_t x, int lines = 2, StrokeKind begin = StrokeKind::Begin) {
  log.appendStrokeRecord(begin, x, 10, 5);
  for (int i = 1; i <= lines; ++i) log.appendStrokeRecord(StrokeKind::Line, x, 10 + 10 * i, 5);
  log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
}

TEST(StrokeLog, GrowsBy1024KeepingRecords) {
  StrokeLog log;
  for (int i = 0; i < 1024; ++i) log.appendStrokeRecord(StrokeKind::Line, i, -i, i % 7);
  EXPECT_EQ(log.logCapacity(), 1024) << "1024 records fit in indices 0..1024";
  log.appendStrokeRecord(StrokeKind::Line, 1024, -1024, 1024 % 7);
  EXPECT_EQ(log.logCapacity(), 2048);
  for (int i = 0; i < 1025; ++i) ASSERT_EQ(log.at(i), (StrokeRecord{2, i, -i, i % 7}));
  EXPECT_EQ(log.redoLimit(), 0) << "only an End moves the redo limit";
  log.clearStrokeLog();
  EXPECT_EQ(log.logCapacity(), 1024);
  log.redoStroke();
  EXPECT_EQ(log.logEnd(), 0);
}

TEST(StrokeLog, UndoAndRedoStepOverWholeStrokes) {
  StrokeLog log;
  addStroke(log, 10);
  addStroke(log, 20, 3, StrokeKind::BeginGrey);
  addStroke(log, 30);
  const std::pair<void (StrokeLog::*)(), int32_t> steps[] = {
      {&StrokeLog::undoStroke, 9}, {&StrokeLog::undoStroke, 4},  {&StrokeLog::redoStroke, 9},
      {&StrokeLog::redoStroke, 13}, {&StrokeLog::redoStroke, 13}, {&StrokeLog::undoStroke, 9},
      {&StrokeLog::undoStroke, 4}};
  for (const auto& [step, end] : steps) {
    (log.*step)();
    EXPECT_EQ(log.logEnd(), end);
  }
  addStroke(log, 40, 1);
  EXPECT_EQ(log.redoLimit(), 7) << "a new stroke after undo drops what could be redone";
  log.redoStroke();
  EXPECT_EQ(log.logEnd(), 7);

  StrokeLog headless;  // no Begin at all: undo empties it
  headless.appendStrokeRecord(StrokeKind::Line, 1, 1, 1);
  headless.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  headless.undoStroke();
  EXPECT_EQ(headless.logEnd(), 0);
  headless.undoStroke();
  EXPECT_EQ(headless.logEnd(), 0);
}

}  // namespace
