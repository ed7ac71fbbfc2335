#pragma once
// Writing a document as a TrueType or WOFF2 file.
#include <cstdint>
#include <string>
#include <vector>

#include "common/Status.h"
#include "kernova/engine/FontDocument.h"

namespace kernova {

// The time a font is saved at, in seconds since 1970-01-01 UTC: SOURCE_DATE_EPOCH when
// it holds a number (reproducible builds and tests), else now.
int64_t fontSaveTime();

// The complete font file for a document (tables head, hhea, maxp, OS/2, hmtx, cmap,
// loca, glyf, name, post), deterministic: the same document and time give the same
// bytes; head.created and head.modified are `savedAt`. Glyph order and character
// mapping are described in TrueTypeLayout.h. A glyph beyond TrueType's limits is cut
// to fit; saveTrueType refuses such a document.
std::vector<uint8_t> compileTrueType(const FontDocument& document, int64_t savedAt = fontSaveTime());

// The document's PostScript name, which names its installed file.
std::string fontPostScriptName(const FontDocument& document);

// A TrueType file packed as WOFF2 (Brotli, glyf and loca transformed).
Status compressWoff2(const std::vector<uint8_t>& trueType, std::vector<uint8_t>& woff2);

// Writes compileTrueType() to a temporary file beside `path`, syncs it and renames
// it over `path`, so a failed save leaves the old file whole and no temporary behind.
// Fails, writing nothing, when a glyph is beyond TrueType's limits.
Status saveTrueType(const FontDocument& document, const std::string& path);
// The same, as WOFF2 when `path` ends in ".woff2" (any case), else as TrueType.
Status saveFont(const FontDocument& document, const std::string& path);

}  // namespace kernova
