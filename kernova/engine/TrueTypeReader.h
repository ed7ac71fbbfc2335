#pragma once
// Reading a TrueType (or WOFF2) file back into a document, through FreeType.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Status.h"
#include "kernova/engine/FontDocument.h"

namespace kernova {

// Reads a TrueType file into a new document (type from its cmap / code page bits,
// names from its name table),
// with filePath set and not modified. CFF-flavoured and broken files give a failure
// with a readable message.
Status loadTrueType(const std::string& path, std::unique_ptr<FontDocument>& document);

// The same for a font held in memory (no filePath). `bytes` is not kept.
Status loadTrueTypeFromMemory(const std::vector<uint8_t>& bytes,
                              std::unique_ptr<FontDocument>& document);

}  // namespace kernova
