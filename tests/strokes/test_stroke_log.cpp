// The stroke log: append, capacity growth, undo and redo over whole strokes.
#include <gtest/gtest.h>

#include "strokes/StrokeLog.h"

namespace {

void addStroke(StrokeLog& log, int32_t x, int lines = 2, StrokeKind begin = StrokeKind::Begin) {
  log.appendStrokeRecord(begin, x, 10, 5);
  for (int i = 1; i <= lines; ++i) log.appendStrokeRecord(StrokeKind::Line, x, 10 + 10 * i, 5);
  log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
}

TEST(StrokeLogAppend, GrowsBy1024KeepingRecords) {
  StrokeLog log;
  EXPECT_EQ(log.logCapacity(), 1024);
  for (int i = 0; i < 1024; ++i) log.appendStrokeRecord(StrokeKind::Line, i, -i, i % 7);
  EXPECT_EQ(log.logCapacity(), 1024) << "1024 records fit in indices 0..1024";
  log.appendStrokeRecord(StrokeKind::Line, 1024, -1024, 1024 % 7);
  EXPECT_EQ(log.logCapacity(), 2048);
  EXPECT_EQ(log.logEnd(), 1025);
  for (int i = 0; i < 1025; ++i) ASSERT_EQ(log.at(i), (StrokeRecord{2, i, -i, i % 7}));
}

TEST(StrokeLogAppend, OnlyEndMovesRedoLimit) {
  StrokeLog log;
  log.appendStrokeRecord(StrokeKind::Begin, 1, 1, 1);
  log.appendStrokeRecord(StrokeKind::Line, 1, 1, 1);
  EXPECT_EQ(log.redoLimit(), 0);
  log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  EXPECT_EQ(log.redoLimit(), 3);
}

TEST(StrokeLogUndoRedo, EmptyLogIsANoOp) {
  StrokeLog log;
  log.undoStroke();
  log.redoStroke();
  EXPECT_EQ(log.logEnd(), 0);
}

TEST(StrokeLogUndoRedo, UndoWithoutBeginLandsOnZero) {
  StrokeLog log;
  log.appendStrokeRecord(StrokeKind::Line, 1, 1, 1);
  log.appendStrokeRecord(StrokeKind::Line, 2, 2, 1);
  log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  log.undoStroke();
  EXPECT_EQ(log.logEnd(), 0);
}

TEST(StrokeLogUndoRedo, ThreeStrokesTwoUndosOneRedo) {
  StrokeLog log;
  addStroke(log, 10);
  addStroke(log, 20, 3, StrokeKind::BeginGrey);
  addStroke(log, 30);
  log.undoStroke();
  EXPECT_EQ(log.logEnd(), 9);
  log.undoStroke();
  EXPECT_EQ(log.logEnd(), 4);
  log.redoStroke();
  EXPECT_EQ(log.logEnd(), 9) << "just past the second stroke's End";
  log.redoStroke();
  EXPECT_EQ(log.logEnd(), 13);
  log.redoStroke();
  EXPECT_EQ(log.logEnd(), 13);
}

TEST(StrokeLogUndoRedo, NewStrokeAfterUndoDropsRedo) {
  StrokeLog log;
  addStroke(log, 10);
  addStroke(log, 20);
  addStroke(log, 30);
  log.undoStroke();
  log.undoStroke();
  addStroke(log, 40, 1);
  EXPECT_EQ(log.logEnd(), 7);
  EXPECT_EQ(log.redoLimit(), 7);
  log.redoStroke();
  EXPECT_EQ(log.logEnd(), 7);
}

TEST(StrokeLogUndoRedo, ClearKeepsNothingToRedo) {
  StrokeLog log;
  for (int i = 0; i < 500; ++i) addStroke(log, i);
  log.clearStrokeLog();
  EXPECT_EQ(log.logEnd(), 0);
  EXPECT_EQ(log.redoLimit(), 0);
  EXPECT_EQ(log.logCapacity(), 1024);
  log.redoStroke();
  EXPECT_EQ(log.logEnd(), 0);
}

TEST(StrokeLogText, StatusHasALeadingBlank) {
  EXPECT_EQ(statusText(0), " 0");
  EXPECT_EQ(statusText(57), " 57");
}

}  // namespace
