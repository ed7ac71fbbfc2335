// compileTrueType and saveTrueType.
#include <filesystem>

#include "common/AtomicFile.h"
#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"
#include "kernova/engine/TrueTypeWriter.h"

namespace kernova {

std::vector<uint8_t> compileTrueType(const FontDocument& document) {
  using namespace sfnt;
  FontLayout layout = layoutFont(document);
  GlyfAndLoca outlines = compileGlyf(layout);
  std::vector<Table> tables = {
      {makeTag("head"), compileHead(layout, outlines.longOffsets)},
      {makeTag("hhea"), compileHhea(layout)},
      {makeTag("maxp"), compileMaxp(layout)},
      {makeTag("OS/2"), compileOs2(layout)},
      {makeTag("hmtx"), compileHmtx(layout)},
      {makeTag("cmap"), compileCmap(layout)},
      {makeTag("loca"), std::move(outlines.loca)},
      {makeTag("glyf"), std::move(outlines.glyf)},
      {makeTag("name"), compileName(layout)},
      {makeTag("post"), compilePost(layout)},
  };
  return assembleFont(std::move(tables));
}

Status saveTrueType(const FontDocument& document, const std::string& path) {
  if (path.empty()) return Status::failure("No file name was given for the font.");
  if (Status limits = sfnt::checkTrueTypeLimits(document); !limits)
    return Status::failure("Cannot save the font \"" + path + "\": " + limits.message());
  const common::WriteResult written =
      common::writeFileAtomically(std::filesystem::path(path), compileTrueType(document));
  if (written) return Status::success();
  return Status::failure("Cannot save the font \"" + path + "\": " + written.describe());
}

}  // namespace kernova
