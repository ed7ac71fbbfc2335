#pragma once
// One font document of the editor: its type, current code, glyphs by code, the
// selection of the current glyph's contours, where it is saved, and the undo history
// of its editing operations (delete, import, side bearings, spacing all; see
// EditHistory.h).
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "kernova/engine/CodeOrder.h"
#include "kernova/engine/EditHistory.h"
#include "kernova/engine/FontInfo.h"
#include "kernova/engine/Glyph.h"
#include "kernova/engine/InkBitmap.h"
#include "common/Status.h"

namespace kernova {

class FontDocument {
 public:
  FontDocument(FontType type, std::string name);

  FontType type() const { return m_type; }
  const CodeOrder& codeOrder() const { return CodeOrder::forType(m_type); }

  const std::string& name() const { return m_name; }
  void setName(std::string name) { m_name = std::move(name); }
  // The names the font is saved with. Changing them marks the document modified
  // (no undo step). The family is the set one, else the document's name.
  const FontInfo& fontInfo() const { return m_info; }
  void setFontInfo(FontInfo info);
  const std::string& familyName() const { return m_info.family.empty() ? m_name : m_info.family; }

  const std::string& filePath() const { return m_filePath; }
  void setFilePath(std::string path) { m_filePath = std::move(path); }

  bool modified() const { return m_modified; }
  // Clearing the mark records the saved state: undo or redo back to it clears it again.
  // Setting it says the file differs from every state in the history.
  void setModified(bool modified);

  // Counts the changes of the glyphs, undo and redo included: whoever keeps a copy
  // compares it to know whether the copy is current.
  uint64_t revision() const { return m_revision; }

  uint16_t currentCode() const { return m_currentCode; }
  // A code outside the document's code set is ignored (returns false). Moving
  // between codes is not a change of the font: it leaves the modified flag alone.
  bool setCurrentCode(uint16_t code);
  void viewNextCode();
  void viewPreviousCode();

  // Glyphs: absent codes are empty glyphs with the default advance.
  const Glyph* glyph(uint16_t code) const;
  // Direct access for building a document (font reader, tests): marks it modified
  // but is no undo step.
  Glyph& glyphForEdit(uint16_t code);
  const std::map<uint16_t, Glyph>& glyphs() const { return m_glyphs; }
  void setGlyph(uint16_t code, Glyph glyph);

  // Selection of contours of the current glyph; moving to another code clears it.
  void selectAll();
  void unselectAll();
  void deleteSelection();  // removes the selected contours of the current glyph
  const std::set<size_t>& selection() const { return m_selection; }

  // Adds the traced contours of a bitmap to the current glyph; a glyph without
  // contours before takes the new-glyph advance (Glyph.h). A bitmap that does not
  // trace, or would give the glyph more than TrueType holds (TrueTypeLayout.h), fails
  // and leaves the glyph as it was.
  Status importBitmap(const InkBitmap& bitmap);
  // importBitmap of a bitmap traced beforehand (traceBitmap with the default
  // parameters gave `contours`): the same checks, change and undo step.
  Status importTraced(std::vector<Contour> contours);
  // Shifts the current glyph so its leftmost point is at `left`;
  // advance = ink width + left + right. An empty glyph keeps its advance. Bearings
  // that would leave the 16-bit coordinate or advance range fail and change nothing.
  Status setSideBearings(int left, int right);
  // The same side bearings on every glyph with contours, as one undo step. In a
  // Japanese document the double-byte (full-width) glyphs keep their advance unless
  // `fullWidthToo`. When one glyph cannot take the bearings nothing changes.
  Status spaceAllGlyphs(int left, int right, bool fullWidthToo);

  // Undo or redo the last step of the editing operations above; false when there is
  // none. The current code stays; its selection is dropped when its glyph changes.
  bool canUndo() const { return m_history.canUndo(); }
  bool canRedo() const { return m_history.canRedo(); }
  bool undo();
  bool redo();

 private:
  bool stepHistory(bool (EditHistory::*step)(const EditHistory::Exchange&));
  void putGlyph(uint16_t code, Glyph& glyph);

  FontType m_type;
  std::string m_name;
  std::string m_filePath;
  FontInfo m_info;
  bool m_modified = false;
  uint64_t m_revision = 0;
  uint16_t m_currentCode;
  std::map<uint16_t, Glyph> m_glyphs;
  std::set<size_t> m_selection;
  EditHistory m_history;
};

}  // namespace kernova
