#include "strokes/StrokeLog.h"

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
