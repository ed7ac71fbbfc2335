#pragma once
// The in-memory log of the current character's strokes. Undo and redo move `logEnd`
// over whole strokes; undone records stay in place until overwritten, so redo is a
// move of `logEnd` plus a replay of one stroke.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class StrokeKind : int16_t { Begin = 1, Line = 2, End = 3, BeginGrey = 10 };

struct StrokeRecord {
  int16_t kind = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  friend bool operator==(const StrokeRecord&, const StrokeRecord&) = default;
};

class StrokeLog {
 public:
  static constexpr int32_t kCapacityStep = 1024;

  StrokeLog() { clearStrokeLog(); }

  // logCapacity = 1024, logEnd = 0, redoLimit = 0; the array keeps what fits.
  void clearStrokeLog();
  void appendStrokeRecord(int16_t kind, int32_t x, int32_t y, int32_t width);
  void appendStrokeRecord(StrokeKind kind, int32_t x, int32_t y, int32_t width) {
    appendStrokeRecord(static_cast<int16_t>(kind), x, y, width);
  }
  // Back to the first record of the last stroke (or 0).
  void undoStroke();
  // Forward past the next stroke's End, never beyond redoLimit.
  void redoStroke();
  // After a load of `count` records: logEnd = redoLimit = count.
  void setLoaded(int32_t count);

  int32_t logEnd() const { return m_logEnd; }
  int32_t redoLimit() const { return m_redoLimit; }
  int32_t logCapacity() const { return m_logCapacity; }
  const StrokeRecord& at(int32_t index) const { return m_records[size_t(index)]; }
  StrokeRecord& slot(int32_t index) { return m_records[size_t(index)]; }
  // Grows logCapacity by 1024 when `index` passes it (the loader's growth rule).
  void ensureSlot(int32_t index);

 private:
  std::vector<StrokeRecord> m_records;  // indices 0..m_logCapacity
  int32_t m_logCapacity = 0;
  int32_t m_logEnd = 0;
  int32_t m_redoLimit = 0;
};

// An upper estimate of what replayStrokes costs on a width x height surface, in
// nanoseconds of the machines the tool is made for: a part per record, per row a
// record's dot or segment spans on the surface, and per pixel it may paint (a segment
// that goes on from the previous one paints only past its start). Widths beyond the
// surface cost no more than the surface.
int64_t replayCost(const StrokeLog& log, int width, int height);

// LabelStatus text: one blank (the sign position), then the decimal digits.
inline std::string statusText(int32_t count) { return " " + std::to_string(count); }
