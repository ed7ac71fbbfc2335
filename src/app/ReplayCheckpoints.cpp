#include "app/ReplayCheckpoints.h"

#include <algorithm>
#include <utility>

#include "brush/StrokeReplay.h"
#include "canvas/RetainedImage.h"
#include "strokes/StrokeLog.h"

namespace {

constexpr uint64_t kHashSeed = 0xcbf29ce484222325ull;

uint64_t mix(uint64_t hash, const StrokeRecord& r) {
  for (const uint64_t field : {uint64_t(uint16_t(r.kind)), uint64_t(uint32_t(r.x)),
                               uint64_t(uint32_t(r.y)), uint64_t(uint32_t(r.width))}) {
    hash ^= field;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

// A stroke's start sets colour, width and point itself: nothing before it is needed.
bool startsStroke(const StrokeRecord& r) {
  return r.kind == int16_t(StrokeKind::Begin) || r.kind == int16_t(StrokeKind::BeginGrey);
}

}  // namespace

// Drops the checkpoints whose records have changed; returns the latest one at or
// before logEnd, or null.
const ReplayCheckpoints::Checkpoint* ReplayCheckpoints::usableCheckpoint(const StrokeLog& log) {
  const int32_t end = log.logEnd();
  uint64_t hash = kHashSeed;
  int32_t hashed = 0;
  std::erase_if(m_checkpoints, [&](const Checkpoint& point) {
    if (point.index > end) return false;  // records past logEnd: judged when reached
    for (; hashed < point.index; ++hashed) hash = mix(hash, log.at(hashed));
    return point.hash != hash;
  });
  const auto after = std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), end,
                                      [](int32_t i, const Checkpoint& p) { return i < p.index; });
  return after == m_checkpoints.begin() ? nullptr : &*std::prev(after);
}

void ReplayCheckpoints::replay(const StrokeLog& log, RetainedImage& surface) {
  if (std::as_const(surface).image() != m_base) {
    m_base = std::as_const(surface).image();
    m_checkpoints.clear();
  }
  const int32_t end = log.logEnd();
  int32_t from = 0;
  uint64_t hash = kHashSeed;
  if (const Checkpoint* start = usableCheckpoint(log)) {
    surface.image() = start->image;
    surface.markDirty(start->image.rect());
    surface.setDrawWidth(start->drawWidth);
    surface.setForeColor(start->foreColor);
    from = start->index;
    hash = start->hash;
  }
  const int32_t firstSnapshot = end - kSpacing * int32_t(kMaxCheckpoints);
  int32_t drawn = from, last = from;
  for (int32_t i = from; i < end; ++i) {
    if (i >= firstSnapshot && i - last >= kSpacing && startsStroke(log.at(i))) {
      replayStrokes(log, surface, drawn, i - 1);
      drawn = last = i;
      const auto at = std::lower_bound(m_checkpoints.begin(), m_checkpoints.end(), i,
                                       [](const Checkpoint& p, int32_t index) { return p.index < index; });
      if (at == m_checkpoints.end() || at->index != i)
        m_checkpoints.insert(at, {i, hash, std::as_const(surface).image(), surface.drawWidth(),
                                  surface.foreColor()});
    }
    hash = mix(hash, log.at(i));
  }
  replayStrokes(log, surface, drawn, end - 1);
  keepNewest();
}

void ReplayCheckpoints::keepNewest() {
  if (m_checkpoints.size() > kMaxCheckpoints)
    m_checkpoints.erase(m_checkpoints.begin(),
                        m_checkpoints.end() - std::ptrdiff_t(kMaxCheckpoints));
}
