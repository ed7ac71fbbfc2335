#include "kernova/engine/TrueTypeLayout.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

#include "common/codepage/CodePage.h"

namespace kernova::sfnt {
namespace {

using codepage::CodePage;

CodePage pageOf(FontType type) {
  return type == FontType::Japanese ? CodePage::Cp932 : CodePage::Cp1252;
}

std::string hexCode(uint16_t code) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", unsigned(code));
  return text;
}

bool stepFits(int64_t from, int64_t to) {
  return to >= kMinGlyfCoordinate && to <= kMaxGlyfCoordinate && to - from >= kMinGlyfCoordinate &&
         to - from <= kMaxGlyfCoordinate;
}

// The outline as it is written: empty contours and those beyond the limits dropped,
// and, when a step does not fit 16 bits, every coordinate pulled into +-16383 so all
// steps do.
std::vector<Contour> fittedOutline(const std::vector<Contour>& contours) {
  std::vector<Contour> kept;
  size_t points = 0;
  for (const Contour& contour : contours) {
    if (contour.empty()) continue;
    if (points + contour.size() > kMaxGlyphPoints || kept.size() == kMaxGlyphContours) continue;
    points += contour.size();
    kept.push_back(contour);
  }
  if (outlineProblem(kept).empty()) return kept;
  constexpr int32_t kHalfRange = 16383;
  for (Contour& contour : kept)
    for (Point& point : contour) {
      point.x = std::clamp(point.x, -kHalfRange, kHalfRange);
      point.y = std::clamp(point.y, -kHalfRange, kHalfRange);
    }
  return kept;
}

LaidOutGlyph makeGlyph(uint16_t code, char32_t unicode, std::vector<Contour> contours,
                       int32_t advance) {
  LaidOutGlyph glyph;
  glyph.code = code;
  glyph.unicode = unicode;
  glyph.contours = fittedOutline(contours);
  glyph.advance = uint16_t(std::clamp(advance, 0, 65535));
  bool first = true;
  for (const Contour& contour : glyph.contours) {
    glyph.pointCount += contour.size();
    for (const Point& point : contour) {
      BoundingBox& box = glyph.box;
      auto x = int16_t(point.x), y = int16_t(point.y);
      box.xMin = first ? x : std::min(box.xMin, x);
      box.yMin = first ? y : std::min(box.yMin, y);
      box.xMax = first ? x : std::max(box.xMax, x);
      box.yMax = first ? y : std::max(box.yMax, y);
      first = false;
    }
  }
  return glyph;
}

// A box with a square hole: outer clockwise, inner counter-clockwise (y up).
LaidOutGlyph notdefGlyph() {
  const Glyph missing = missingGlyph();
  return makeGlyph(0, 0, missing.contours, uint16_t(missing.advance));
}

bool hasPoints(const Glyph& glyph) {
  return std::any_of(glyph.contours.begin(), glyph.contours.end(),
                     [](const Contour& contour) { return !contour.empty(); });
}

bool isWritten(const Glyph& glyph) { return glyph.advanceSet || hasPoints(glyph); }

LaidOutGlyph spaceGlyph(const FontDocument& document) {
  const Glyph* space = document.glyph(kSpaceCode);
  if (!space) return makeGlyph(kSpaceCode, U' ', {}, kSpaceAdvance);
  return makeGlyph(kSpaceCode, U' ', space->contours,
                   space->advanceSet ? space->advance : kSpaceAdvance);
}

// The written glyphs other than .notdef and the space, with their characters. The
// code order holds each character's own code only, so no two of them share one.
std::map<uint16_t, char32_t> chooseGlyphs(const FontDocument& document) {
  CodePage page = pageOf(document.type());
  std::map<uint16_t, char32_t> chosen;
  for (const auto& [code, glyph] : document.glyphs()) {
    if (code == kSpaceCode || !isWritten(glyph) || !document.codeOrder().contains(code)) continue;
    std::optional<char32_t> unicode = codepage::toUnicode(page, code);
    if (unicode && *unicode <= 0xFFFF) chosen.emplace(code, *unicode);
  }
  return chosen;
}

void addBox(BoundingBox& total, const BoundingBox& box, bool first) {
  total.xMin = first ? box.xMin : std::min(total.xMin, box.xMin);
  total.yMin = first ? box.yMin : std::min(total.yMin, box.yMin);
  total.xMax = first ? box.xMax : std::max(total.xMax, box.xMax);
  total.yMax = first ? box.yMax : std::max(total.yMax, box.yMax);
}

void finishLayout(FontLayout& layout) {
  bool first = true;
  for (size_t id = 0; id < layout.glyphs.size(); ++id) {
    const LaidOutGlyph& glyph = layout.glyphs[id];
    if (glyph.unicode != 0) layout.cmap.push_back({uint16_t(glyph.unicode), uint16_t(id)});
    if (!glyph.hasOutline()) continue;
    addBox(layout.fontBox, glyph.box, first);
    first = false;
  }
  std::sort(
      layout.cmap.begin(), layout.cmap.end(),
      [](const CharacterMapping& a, const CharacterMapping& b) { return a.unicode < b.unicode; });
}

}  // namespace

std::string outlineProblem(const std::vector<Contour>& contours) {
  size_t points = 0, nonEmpty = 0;
  int64_t x = 0, y = 0;
  for (const Contour& contour : contours) {
    if (!contour.empty()) ++nonEmpty;
    points += contour.size();
    for (const Point& point : contour) {
      if (!stepFits(x, point.x) || !stepFits(y, point.y))
        return "has a point too far from its neighbour or the origin (" + std::to_string(point.x) +
               ", " + std::to_string(point.y) +
               "); TrueType keeps coordinates and steps in 16 bits";
      x = point.x;
      y = point.y;
    }
  }
  if (points > kMaxGlyphPoints)
    return "has " + std::to_string(points) + " points; a TrueType glyph holds at most " +
           std::to_string(kMaxGlyphPoints);
  if (nonEmpty > kMaxGlyphContours)
    return "has " + std::to_string(nonEmpty) + " contours; a TrueType glyph holds at most " +
           std::to_string(kMaxGlyphContours);
  return {};
}

Glyph missingGlyph() {
  Contour outer = {{128, 0}, {128, 1536}, {896, 1536}, {896, 0}};
  Contour inner = {{256, 128}, {768, 128}, {768, 1408}, {256, 1408}};
  return Glyph{{outer, inner}, 1024, true};
}

FontLayout layoutFont(const FontDocument& document) {
  FontLayout layout;
  layout.type = document.type();
  layout.info = document.fontInfo();
  layout.info.family = document.familyName().empty() ? "Untitled" : document.familyName();
  layout.glyphs.push_back(notdefGlyph());
  layout.glyphs.push_back(spaceGlyph(document));
  for (const auto& [code, unicode] : chooseGlyphs(document)) {
    const Glyph& glyph = *document.glyph(code);
    layout.glyphs.push_back(makeGlyph(code, unicode, glyph.contours, glyph.advance));
  }
  finishLayout(layout);
  return layout;
}

Status checkTrueTypeLimits(const FontDocument& document) {
  for (const auto& [code, glyph] : document.glyphs()) {
    if (!isWritten(glyph) || !document.codeOrder().contains(code)) continue;
    std::string problem = outlineProblem(glyph.contours);
    if (!problem.empty())
      return Status::failure("The glyph of code " + hexCode(code) + " " + problem + ".");
  }
  return Status::success();
}

}  // namespace kernova::sfnt
