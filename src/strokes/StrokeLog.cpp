#include "strokes/StrokeLog.h"

#include <algorithm>
#include <cmath>

void StrokeLog::clearStrokeLog() {
  m_logCapacity = kCapacityStep;
  m_records.resize(size_t(m_logCapacity) + 1);
  m_logEnd = 0;
  m_redoLimit = 0;
}

void StrokeLog::ensureSlot(int32_t index) {
  while (index > m_logCapacity) {
    m_logCapacity += kCapacityStep;
    m_records.resize(size_t(m_logCapacity) + 1);
  }
}

void StrokeLog::appendStrokeRecord(int16_t kind, int32_t x, int32_t y, int32_t width) {
  m_records[size_t(m_logEnd)] = StrokeRecord{kind, x, y, width};
  ++m_logEnd;
  ensureSlot(m_logEnd);
  if (kind == int16_t(StrokeKind::End)) m_redoLimit = m_logEnd;
}

void StrokeLog::undoStroke() {
  if (m_logEnd <= 0) return;
  for (;;) {
    --m_logEnd;
    const int16_t kind = m_records[size_t(m_logEnd)].kind;
    if (kind == int16_t(StrokeKind::Begin) || kind == int16_t(StrokeKind::BeginGrey)) return;
    if (m_logEnd == 0) return;
  }
}

void StrokeLog::redoStroke() {
  if (m_logEnd >= m_redoLimit) return;
  for (int32_t i = m_logEnd + 1; i < m_redoLimit; ++i) {
    if (m_records[size_t(i)].kind == int16_t(StrokeKind::End)) {
      m_logEnd = i + 1;
      return;
    }
  }
  m_logEnd = m_redoLimit;
}

void StrokeLog::setLoaded(int32_t count) {
  ensureSlot(count);
  m_logEnd = count;
  m_redoLimit = count;
}

namespace {
// Fitted to BM_LoadAndDrawCostliestFile (reading included) on the target machines and
// rounded up, so the estimate stays above the time taken by ordinary strokes, dots that
// fill the canvas and the widest brush jumping across it.
constexpr double kRecordNs = 400, kRowNs = 100, kPixelNs = 0.15;
}  // namespace

int64_t replayCost(const StrokeLog& log, int width, int height) {
  double cost = 0, x0 = 0, y0 = 0;
  bool goesOn = false;  // the segment starts where the previous dot or segment ended
  for (int32_t i = 0; i < log.logEnd(); ++i) {
    const StrokeRecord& r = log.at(i);
    cost += kRecordNs;
    const bool begins = r.kind == int16_t(StrokeKind::Begin) || r.kind == int16_t(StrokeKind::BeginGrey);
    if (!begins && r.kind != int16_t(StrokeKind::Line)) continue;
    if (begins) {
      x0 = r.x;
      y0 = r.y;
    }
    const double radius = std::max(1, r.width) / 2.0;
    const double top = std::max(0.0, std::min(y0, double(r.y)) - radius);
    const double bottom = std::min(height - 1.0, std::max(y0, double(r.y)) + radius);
    const double rows = std::max(0.0, std::floor(bottom) - std::ceil(top) + 1);
    const double length = std::hypot(r.x - x0, r.y - y0);
    const double across = std::min(double(width), 2 * radius + 1);
    const double along = length + (goesOn && !begins ? 1 : 2 * radius + 1);
    cost += kRowNs * rows + kPixelNs * std::min(rows * width, along * across);
    x0 = r.x;
    y0 = r.y;
    goesOn = true;
  }
  return int64_t(std::min(cost, 9e18));
}
