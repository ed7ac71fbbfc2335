#pragma once
// The undo and redo stacks of one document. A step holds the glyphs of the codes it
// changed as they were on the other side of the step, so undoing swaps them back in
// and the same record then serves redo.
//
// Steps merge where the lettering tool replaces a glyph in several calls: on the same
// code, an edit whose kind comes later in the order Delete, Import, SideBearings than
// the step's last edit joins the open step. Any other edit, moving to another code,
// undo, redo or a save closes it, so two imports in a row are two steps. An edit of
// many glyphs at once (spacing them all) is one step of its own.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "kernova/engine/Glyph.h"

namespace kernova {

enum class EditKind { Delete, Import, SideBearings, SpaceAll };

class EditHistory {
 public:
  static constexpr size_t kMaxSteps = 100;

  // Called before `code` changes from `before`. Clears the redo stack.
  void record(uint16_t code, EditKind kind, const Glyph& before);
  // One closed step for a change of several glyphs, given as they were before.
  using GlyphsBefore = std::vector<std::pair<uint16_t, Glyph>>;
  void recordAll(EditKind kind, GlyphsBefore before);
  void closeStep() { m_open = false; }

  bool canUndo() const { return !m_undo.empty(); }
  bool canRedo() const { return !m_redo.empty(); }
  // Puts `glyph` in at `code` and hands back the glyph it replaces; called once for
  // each glyph of the step.
  using Exchange = std::function<void(uint16_t code, Glyph& glyph)>;
  // Return false when there is nothing to undo or redo.
  bool undo(const Exchange& exchange) { return move(m_undo, m_redo, exchange); }
  bool redo(const Exchange& exchange) { return move(m_redo, m_undo, exchange); }

  // The state of a save: reaching it again by undo or redo means unmodified.
  void markClean();
  // The document no longer matches its file whatever is undone (a recovered copy).
  void markDirty() { m_cleanDepth = -1; }
  bool atClean() const { return m_cleanDepth == long(m_undo.size()); }

 private:
  struct Step {
    GlyphsBefore glyphs;  // (code, glyph) on the other side of the step
    EditKind lastKind;
  };
  void push(Step step);
  bool move(std::deque<Step>& from, std::deque<Step>& to, const Exchange& exchange);

  std::deque<Step> m_undo, m_redo;
  bool m_open = false;
  long m_cleanDepth = 0;  // undo depth of the saved state; -1 once it cannot come back
};

}  // namespace kernova
