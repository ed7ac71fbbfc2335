#pragma once
// One font document of the editor: its type, current code, glyphs by code, the
// selection of the current glyph's contours, and where it is saved.
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "kernova/engine/CodeOrder.h"
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
  const std::string& filePath() const { return m_filePath; }
  void setFilePath(std::string path) { m_filePath = std::move(path); }

  bool modified() const { return m_modified; }
  void setModified(bool modified) { m_modified = modified; }

  uint16_t currentCode() const { return m_currentCode; }
  // A code outside the document's code set is ignored (returns false). Moving
  // between codes is not a change of the font: it leaves the modified flag alone.
  bool setCurrentCode(uint16_t code);
  void viewNextCode();
  void viewPreviousCode();

  // Glyphs: absent codes are empty glyphs with the default advance.
  const Glyph* glyph(uint16_t code) const;
  Glyph& glyphForEdit(uint16_t code);  // marks the document modified
  const std::map<uint16_t, Glyph>& glyphs() const { return m_glyphs; }
  void setGlyph(uint16_t code, Glyph glyph);  // used by the font reader; marks modified

  // Selection of contours of the current glyph; moving to another code clears it.
  void selectAll();
  void unselectAll();
  void deleteSelection();  // removes the selected contours of the current glyph
  const std::set<size_t>& selection() const { return m_selection; }

  // Adds the traced contours of a bitmap to the current glyph. A bitmap that does not
  // trace, or would give the glyph more than TrueType holds (TrueTypeLayout.h), fails
  // and leaves the glyph as it was.
  Status importBitmap(const InkBitmap& bitmap);
  // Shifts the current glyph so its leftmost point is at `left`;
  // advance = ink width + left + right. An empty glyph keeps its advance. Bearings
  // that would leave the 16-bit coordinate or advance range fail and change nothing.
  Status setSideBearings(int left, int right);

 private:
  FontType m_type;
  std::string m_name;
  std::string m_filePath;
  bool m_modified = false;
  uint16_t m_currentCode;
  std::map<uint16_t, Glyph> m_glyphs;
  std::set<size_t> m_selection;
};

}  // namespace kernova
