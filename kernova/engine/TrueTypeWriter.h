#pragma once
// Writing a document as a TrueType file.
#include <cstdint>
#include <string>
#include <vector>

#include "common/Status.h"
#include "kernova/engine/FontDocument.h"

namespace kernova {

// The complete font file for a document (tables head, hhea, maxp, OS/2, hmtx, cmap,
// loca, glyf, name, post), deterministic: the same document gives the same bytes.
// Glyph order and character mapping are described in TrueTypeLayout.h. A glyph
// beyond TrueType's limits is cut to fit; saveTrueType refuses such a document.
std::vector<uint8_t> compileTrueType(const FontDocument& document);

// Writes compileTrueType() to a temporary file beside `path`, syncs it and renames
// it over `path`, so a failed save leaves the old file whole and no temporary behind.
// Fails, writing nothing, when a glyph is beyond TrueType's limits.
Status saveTrueType(const FontDocument& document, const std::string& path);

}  // namespace kernova
