// cmap: format 4, "segment mapping to delta values".
#include <bit>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

struct Segment {
  uint16_t startCode = 0;
  uint16_t endCode = 0;
  std::vector<uint16_t> glyphIds;  // one per character startCode..endCode, 0 = unmapped
  bool deltaRun = true;            // consecutive glyph ids: written as idDelta alone

  // Bytes in the subtable: four array entries, plus the glyph ids unless a delta run.
  size_t cost() const { return 8 + (deltaRun ? 0 : 2 * glyphIds.size()); }
};

// Maximal runs of consecutive characters with consecutive glyph ids.
std::vector<Segment> deltaRuns(const std::vector<CharacterMapping>& cmap) {
  std::vector<Segment> runs;
  for (const CharacterMapping& mapping : cmap) {
    if (mapping.unicode == 0xFFFF) continue;  // reserved for the closing segment
    if (!runs.empty()) {
      Segment& last = runs.back();
      if (mapping.unicode == last.endCode + 1 && mapping.glyphId == last.glyphIds.back() + 1) {
        last.glyphIds.push_back(mapping.glyphId);
        last.endCode = mapping.unicode;
        continue;
      }
    }
    runs.push_back({mapping.unicode, mapping.unicode, {mapping.glyphId}, true});
  }
  return runs;
}

void join(Segment& left, const Segment& right) {
  left.glyphIds.resize(size_t(right.startCode - left.startCode), 0);  // the gap
  left.glyphIds.insert(left.glyphIds.end(), right.glyphIds.begin(), right.glyphIds.end());
  left.endCode = right.endCode;
  left.deltaRun = false;
}

// Neighbouring runs are joined into one glyph-id-array segment where that is smaller.
// Every join shrinks the subtable, so it never exceeds eight bytes per delta run:
// under 64 KiB for the fewer than 8,000 characters of a code set.
std::vector<Segment> buildSegments(const std::vector<CharacterMapping>& cmap) {
  std::vector<Segment> segments;
  for (Segment& run : deltaRuns(cmap)) {
    // Runs are maximal, so a joined segment always needs the glyph id array.
    if (!segments.empty()) {
      size_t joinedCost = 8 + 2 * size_t(run.endCode - segments.back().startCode + 1);
      if (joinedCost < segments.back().cost() + run.cost()) {
        join(segments.back(), run);
        continue;
      }
    }
    segments.push_back(std::move(run));
  }
  segments.push_back({0xFFFF, 0xFFFF, {0}, true});
  return segments;
}

void writeSegmentArrays(const std::vector<Segment>& segments, SfntBuffer& out) {
  for (const Segment& segment : segments) out.u16(segment.endCode);
  out.u16(0);  // reservedPad
  for (const Segment& segment : segments) out.u16(segment.startCode);
  // The closing segment maps 0xFFFF to glyph 0 by idDelta 1.
  for (const Segment& segment : segments) {
    if (segment.startCode == 0xFFFF)
      out.u16(1);
    else if (segment.deltaRun)
      out.u16(uint32_t(segment.glyphIds[0] - segment.startCode) & 0xFFFF);
    else
      out.u16(0);
  }
  // idRangeOffset counts bytes from its own position to the segment's first entry
  // in glyphIdArray, which follows the idRangeOffset array.
  size_t arrayIndex = 0;
  size_t segCount = segments.size();
  for (size_t i = 0; i < segCount; ++i) {
    const Segment& segment = segments[i];
    if (segment.startCode == 0xFFFF || segment.deltaRun) {
      out.u16(0);
      continue;
    }
    out.u16(uint32_t(2 * (segCount - i) + 2 * arrayIndex));
    arrayIndex += segment.glyphIds.size();
  }
  for (const Segment& segment : segments)
    if (segment.startCode != 0xFFFF && !segment.deltaRun)
      for (uint16_t id : segment.glyphIds) out.u16(id);
}

std::vector<uint8_t> compileFormat4(const std::vector<CharacterMapping>& cmap) {
  std::vector<Segment> segments = buildSegments(cmap);
  auto segCount = uint32_t(segments.size());
  uint32_t searchRange = 2 * std::bit_floor(segCount);
  SfntBuffer out;
  out.u16(4);  // format
  out.u16(0);  // length, patched below
  out.u16(0);  // language
  out.u16(segCount * 2);
  out.u16(searchRange);
  out.u16(uint32_t(std::countr_zero(searchRange / 2)));
  out.u16(segCount * 2 - searchRange);
  writeSegmentArrays(segments, out);
  out.patchU16(2, uint32_t(out.size()));
  return out.take();
}

}  // namespace

std::vector<uint8_t> compileCmap(const FontLayout& layout) {
  std::vector<uint8_t> subtable = compileFormat4(layout.cmap);
  constexpr uint32_t kSubtableOffset = 4 + 2 * 8;
  SfntBuffer out;
  out.u16(0);  // version
  out.u16(2);  // numTables
  out.u16(0);  // platformID Unicode
  out.u16(3);  // encodingID Unicode BMP
  out.u32(kSubtableOffset);
  out.u16(3);  // platformID Windows
  out.u16(1);  // encodingID Unicode BMP
  out.u32(kSubtableOffset);
  out.bytes(subtable);
  return out.take();
}

}  // namespace kernova::sfnt
