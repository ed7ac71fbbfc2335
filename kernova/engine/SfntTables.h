#pragma once
// One compiler per TrueType table, each from the laid-out font. Fields are named
// as the OpenType format names them.
#include <cstdint>
#include <string>
#include <vector>

#include "kernova/engine/TrueTypeLayout.h"

namespace kernova::sfnt {

// head.created and head.modified: seconds since 1904-01-01 of 2024-01-01 00:00 UTC.
// Fixed, so the same document always gives the same bytes.
inline constexpr uint64_t kFontTimestamp = 3786912000;
inline constexpr uint32_t kFontRevision = 0x00010000;  // 1.0, "Version 1.000"

struct GlyfAndLoca {
  std::vector<uint8_t> glyf;
  std::vector<uint8_t> loca;
  bool longOffsets = false;  // head.indexToLocFormat 1
};

// glyf: simple glyphs, flags with repeat runs and short deltas; each glyph padded
// to 4 bytes. loca: short offsets whenever glyf fits them.
GlyfAndLoca compileGlyf(const FontLayout& layout);
// One glyph's glyf record (unpadded; empty for a glyph without points).
std::vector<uint8_t> compileSimpleGlyph(const LaidOutGlyph& glyph);

// cmap: one format 4 subtable shared by (0, 3) Unicode BMP and (3, 1) Windows BMP.
std::vector<uint8_t> compileCmap(const FontLayout& layout);

// name: platform 3 (Windows, Unicode BMP, US English) records 1-6.
std::vector<uint8_t> compileName(const FontLayout& layout);
// A valid PostScript name: printable ASCII 33..126 without [](){}<>/%, at most 63
// characters. Other characters of the family are left out; a family made only of
// them is spelled by its code points ("u3042").
std::string postScriptName(const std::string& familyUtf8);

std::vector<uint8_t> compileHead(const FontLayout& layout, bool longOffsets);
std::vector<uint8_t> compileHhea(const FontLayout& layout);
std::vector<uint8_t> compileHmtx(const FontLayout& layout);
std::vector<uint8_t> compileMaxp(const FontLayout& layout);
std::vector<uint8_t> compilePost(const FontLayout& layout);
// OS/2 version 4.
std::vector<uint8_t> compileOs2(const FontLayout& layout);

}  // namespace kernova::sfnt
