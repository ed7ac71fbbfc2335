#pragma once
// Checkpoints of the canvas recomposition, so that UnDo does not replay the whole log:
// snapshots of the picture after the guide and records 0..k-1, taken at the start of a
// stroke every kSpacing records near the log's end. A redraw starts from the latest
// checkpoint at or before logEnd that is still true: taken on the same picture
// underneath (reference and guide), with records 0..k-1 unchanged (a running hash of
// the records tells). The result is the picture a full replay draws.
#include <QImage>
#include <cstdint>
#include <vector>

#include "canvas/Colour.h"

class RetainedImage;
class StrokeLog;

class ReplayCheckpoints {
 public:
  static constexpr int32_t kSpacing = 256;
  static constexpr size_t kMaxCheckpoints = 16;  // a 512 x 512 snapshot is 1 MB

  // Draws records 0..logEnd - 1 of `log` onto `surface`, which holds the picture
  // underneath.
  void replay(const StrokeLog& log, RetainedImage& surface);

 private:
  struct Checkpoint {
    int32_t index;
    uint64_t hash;  // of records 0..index - 1
    QImage image;
    int drawWidth;
    Colour foreColor;
  };
  const Checkpoint* usableCheckpoint(const StrokeLog& log);
  void keepNewest();

  QImage m_base;
  std::vector<Checkpoint> m_checkpoints;  // by ascending index
};
