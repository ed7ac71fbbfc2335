#include "kernova/engine/EditHistory.h"

namespace kernova {

void EditHistory::record(uint16_t code, EditKind kind, const Glyph& before) {
  if (m_open && !m_undo.empty() && m_undo.back().code == code && kind > m_undo.back().lastKind) {
    m_undo.back().lastKind = kind;
    return;
  }
  // The saved state lies in the redo stack that this edit drops, or in the open step.
  if (m_cleanDepth > long(m_undo.size())) m_cleanDepth = -1;
  m_redo.clear();
  m_undo.push_back({code, before, kind});
  if (m_undo.size() > kMaxSteps) {
    m_undo.pop_front();
    if (m_cleanDepth >= 0) --m_cleanDepth;
  }
  m_open = true;
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
  exchange(to.back().code, to.back().glyph);
  return true;
}

}  // namespace kernova
