#pragma once
// Writing a document as a TrueType file, and reading one back through FreeType.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kernova/engine/FontDocument.h"
#include "common/Status.h"

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

// Reads a TrueType file into a new document (type from its cmap / code page bits),
// with filePath set and not modified. CFF-flavoured and broken files give a failure
// with a readable message.
Status loadTrueType(const std::string& path, std::unique_ptr<FontDocument>& document);

// The same for a font held in memory (no filePath). `bytes` is not kept.
Status loadTrueTypeFromMemory(const std::vector<uint8_t>& bytes,
                              std::unique_ptr<FontDocument>& document);

}  // namespace kernova
