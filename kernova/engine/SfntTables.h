#pragma once
// One compiler per TrueType table, each from the laid-out font. Fields are named
// as the OpenType format names them.
#include <cstdint>
#include <string>
#include <vector>

#include "kernova/engine/TrueTypeLayout.h"

namespace kernova::sfnt {

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

// name: platform 3 (Windows, Unicode BMP) records, sorted: US English copyright,
// family, subfamily, unique ID, full name, version, PostScript name, designer,
// license and license URL (IDs 0-6, 9, 13, 14; empty texts left out); for a family
// that is not plain ASCII, Japanese family and full name (IDs 1, 4) beside English
// ones spelled with the ASCII family.
std::vector<uint8_t> compileName(const FontLayout& layout);
// A valid PostScript name "Family-Style": printable ASCII 33..126 without
// [](){}<>/%, at most 63 characters. Other characters are left out; a part made only
// of them is spelled by its code points ("u3042").
std::string postScriptName(const std::string& familyUtf8, const std::string& styleUtf8 = "Regular");

// head, with created and modified at `timestamp` (seconds since 1904-01-01 UTC) and
// the font revision from the version.
std::vector<uint8_t> compileHead(const FontLayout& layout, bool longOffsets, uint64_t timestamp);
std::vector<uint8_t> compileHhea(const FontLayout& layout);
std::vector<uint8_t> compileHmtx(const FontLayout& layout);
std::vector<uint8_t> compileMaxp(const FontLayout& layout);
std::vector<uint8_t> compilePost(const FontLayout& layout);
// OS/2 version 4.
std::vector<uint8_t> compileOs2(const FontLayout& layout);

}  // namespace kernova::sfnt
