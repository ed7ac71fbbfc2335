#include "kernova/engine/FontDocument.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "kernova/engine/Tracer.h"
#include "kernova/engine/TrueTypeLayout.h"

namespace kernova {
namespace {

constexpr uint16_t kLatinStartCode = 0x41;     // 'A'
constexpr uint16_t kJapaneseStartCode = 0x82A0;  // hiragana a

uint16_t startCode(FontType type) {
  const CodeOrder& order = CodeOrder::forType(type);
  uint16_t preferred = type == FontType::Latin ? kLatinStartCode : kJapaneseStartCode;
  if (order.contains(preferred) || order.codes().empty()) return preferred;
  return order.codes().front();
}

struct Extent {
  int64_t minX = std::numeric_limits<int64_t>::max();
  int64_t maxX = std::numeric_limits<int64_t>::min();
};

Extent horizontalExtent(const Glyph& glyph) {
  Extent extent;
  for (const Contour& contour : glyph.contours) {
    for (const Point& point : contour) {
      extent.minX = std::min<int64_t>(extent.minX, point.x);
      extent.maxX = std::max<int64_t>(extent.maxX, point.x);
    }
  }
  return extent;
}

// TrueType keeps coordinates in 16-bit signed and advances in 16-bit unsigned fields.
constexpr int64_t kMinCoordinate = std::numeric_limits<int16_t>::min();
constexpr int64_t kMaxCoordinate = std::numeric_limits<int16_t>::max();
constexpr int64_t kMaxAdvance = std::numeric_limits<uint16_t>::max();

// A Japanese font's double-byte codes are its full-width characters.
bool isFullWidth(FontType type, uint16_t code) { return type == FontType::Japanese && code > 0xFF; }

std::string hexCode(uint16_t code) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", unsigned(code));
  return text;
}

// Shifts a glyph with contours so its leftmost point is at `left`, its advance the ink
// width plus both bearings; out of the 16-bit ranges it fails and leaves the glyph.
Status applySideBearings(Glyph& glyph, int left, int right) {
  Extent extent = horizontalExtent(glyph);
  int64_t shift = int64_t(left) - extent.minX;
  int64_t advance = (extent.maxX - extent.minX) + int64_t(left) + int64_t(right);
  if (advance < 0 || advance > kMaxAdvance)
    return Status::failure("side bearings " + std::to_string(left) + " and " +
                           std::to_string(right) + " give an advance out of range");
  if (extent.minX + shift < kMinCoordinate || extent.maxX + shift > kMaxCoordinate)
    return Status::failure("left side bearing " + std::to_string(left) +
                           " moves the glyph out of the coordinate range");
  for (Contour& contour : glyph.contours)
    for (Point& point : contour) point.x = int32_t(point.x + shift);
  glyph.advance = int32_t(advance);
  glyph.advanceSet = true;
  return Status::success();
}

}  // namespace

FontDocument::FontDocument(FontType type, std::string name)
    : m_type(type), m_name(std::move(name)), m_currentCode(startCode(type)) {}

void FontDocument::setFontInfo(FontInfo info) {
  if (info == m_info) return;
  m_info = std::move(info);
  ++m_revision;
  setModified(true);
}

void FontDocument::setModified(bool modified) {
  m_modified = modified;
  if (modified) m_history.markDirty();
  else m_history.markClean();
}

bool FontDocument::setCurrentCode(uint16_t code) {
  if (!codeOrder().contains(code)) return false;
  if (code != m_currentCode) {
    m_selection.clear();
    m_history.closeStep();
  }
  m_currentCode = code;
  return true;
}

void FontDocument::viewNextCode() { setCurrentCode(codeOrder().next(m_currentCode)); }

void FontDocument::viewPreviousCode() { setCurrentCode(codeOrder().previous(m_currentCode)); }

const Glyph* FontDocument::glyph(uint16_t code) const {
  auto it = m_glyphs.find(code);
  return it == m_glyphs.end() ? nullptr : &it->second;
}

Glyph& FontDocument::glyphForEdit(uint16_t code) {
  m_modified = true;
  ++m_revision;
  return m_glyphs[code];
}

void FontDocument::setGlyph(uint16_t code, Glyph glyph) {
  if (code == m_currentCode) m_selection.clear();
  m_glyphs[code] = std::move(glyph);
  m_modified = true;
  ++m_revision;
}

void FontDocument::selectAll() {
  m_selection.clear();
  const Glyph* current = glyph(m_currentCode);
  if (!current) return;
  for (size_t i = 0; i < current->contours.size(); ++i) m_selection.insert(i);
}

void FontDocument::unselectAll() { m_selection.clear(); }

void FontDocument::deleteSelection() {
  auto it = m_glyphs.find(m_currentCode);
  if (it == m_glyphs.end() || m_selection.empty()) {
    m_selection.clear();
    return;
  }
  m_history.record(m_currentCode, EditKind::Delete, it->second);
  std::vector<Contour>& contours = it->second.contours;
  // Erase from the back so the remaining indices stay valid.
  for (auto index = m_selection.rbegin(); index != m_selection.rend(); ++index) {
    if (*index < contours.size()) contours.erase(contours.begin() + long(*index));
  }
  m_selection.clear();
  if (it->second == Glyph{}) m_glyphs.erase(it);
  m_modified = true;
  ++m_revision;
}

Status FontDocument::importBitmap(const InkBitmap& bitmap) {
  std::vector<Contour> contours;
  if (Status trace = traceBitmap(bitmap, TraceParameters{}, contours); !trace) return trace;
  return importTraced(std::move(contours));
}

Status FontDocument::importTraced(std::vector<Contour> contours) {
  // A glyph beyond TrueType's limits would make every later save fail, so the import
  // is refused while the glyph is still as it was.
  if (const Glyph* current = glyph(m_currentCode))
    contours.insert(contours.begin(), current->contours.begin(), current->contours.end());
  if (std::string problem = sfnt::outlineProblem(contours); !problem.empty())
    return Status::failure("the traced bitmap is too detailed for one glyph: with it the glyph " +
                           problem);
  Glyph& target = glyphForEdit(m_currentCode);
  m_history.record(m_currentCode, EditKind::Import, target);
  // Ink in an empty glyph is a new glyph: an advance left from earlier side bearings
  // would no longer fit its outline.
  if (target.empty()) target = Glyph{};
  target.contours = std::move(contours);
  return Status::success();
}

Status FontDocument::setSideBearings(int left, int right) {
  auto it = m_glyphs.find(m_currentCode);
  if (it == m_glyphs.end() || it->second.empty()) return Status::success();
  Glyph spaced = it->second;
  if (Status status = applySideBearings(spaced, left, right); !status) return status;
  m_history.record(m_currentCode, EditKind::SideBearings, it->second);
  it->second = std::move(spaced);
  m_modified = true;
  ++m_revision;
  return Status::success();
}

Status FontDocument::spaceAllGlyphs(int left, int right, bool fullWidthToo) {
  EditHistory::GlyphsBefore before;
  std::vector<std::pair<uint16_t, Glyph>> spaced;
  for (const auto& [code, glyph] : m_glyphs) {
    if (glyph.empty() || (!fullWidthToo && isFullWidth(m_type, code))) continue;
    Glyph changed = glyph;
    if (Status status = applySideBearings(changed, left, right); !status)
      return Status::failure("the glyph of code " + hexCode(code) + ": " + status.message());
    before.emplace_back(code, glyph);
    spaced.emplace_back(code, std::move(changed));
  }
  if (spaced.empty()) return Status::success();
  m_history.recordAll(EditKind::SpaceAll, std::move(before));
  for (auto& [code, glyph] : spaced) m_glyphs[code] = std::move(glyph);
  m_selection.clear();
  m_modified = true;
  ++m_revision;
  return Status::success();
}

bool FontDocument::undo() { return stepHistory(&EditHistory::undo); }

bool FontDocument::redo() { return stepHistory(&EditHistory::redo); }

bool FontDocument::stepHistory(bool (EditHistory::*step)(const EditHistory::Exchange&)) {
  const bool stepped = (m_history.*step)([this](uint16_t code, Glyph& glyph) { putGlyph(code, glyph); });
  if (stepped) m_modified = !m_history.atClean();
  return stepped;
}

// Swaps `glyph` in at `code`; an empty glyph with the default advance is no entry.
void FontDocument::putGlyph(uint16_t code, Glyph& glyph) {
  if (code == m_currentCode) m_selection.clear();
  Glyph& slot = m_glyphs[code];
  std::swap(slot, glyph);
  if (slot == Glyph{}) m_glyphs.erase(code);
  ++m_revision;
}

}  // namespace kernova
