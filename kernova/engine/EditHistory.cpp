#include "kernova/engine/EditHistory.h"

namespace kernova {

void EditHistory::record(uint16_t code, EditKind kind, const Glyph& before) {
  if (m_open && !m_undo.empty() && m_undo.back().glyphs.size() == 1 &&
      m_undo.back().glyphs.front().first == code && kind > m_undo.back().lastKind) {
    m_undo.back().lastKind = kind;
    return;
  }
  push({{{code, before}}, kind});
  m_open = true;
}

void EditHistory::recordAll(EditKind kind, GlyphsBefore before) {
  push({std::move(before), kind});
  m_open = false;
}

void EditHistory::push(Step step) {
  // The saved state lies in the redo stack that this edit drops, or in the open step.
  if (m_cleanDepth > long(m_undo.size())) m_cleanDepth = -1;
  m_redo.clear();
  m_undo.push_back(std::move(step));
  if (m_undo.size() > kMaxSteps) {
    m_undo.pop_front();
    if (m_cleanDepth >= 0) --m_cleanDepth;
  }
}

void EditHistory::markClean() {
  m_cleanDepth = long(m_undo.size());
  m_open = false;
}

bool EditHistory::move(std::deque<Step>& from, std::deque<Step>& to, const Exchange& exchange) {
  m_open = false;
  if (from.empty()) return false;
  to.push_back(std::move(from.back()));
  from.pop_back();
  for (auto& [code, glyph] : to.back().glyphs) exchange(code, glyph);
  return true;
}

}  // namespace kernova
