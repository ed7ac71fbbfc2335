// compileTrueType, compressWoff2 and the saves.
#include <woff2/encode.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "common/AtomicFile.h"
#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"
#include "kernova/engine/TrueTypeWriter.h"

namespace kernova {
namespace {

constexpr int64_t kSecondsFrom1904To1970 = 2082844800;

bool endsWithWoff2(const std::string& path) {
  const std::string suffix = ".woff2";
  if (path.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), path.end() - long(suffix.size()),
                    [](char a, char b) { return a == std::tolower(uint8_t(b)); });
}

Status writeFont(const FontDocument& document, const std::string& path, bool woff2) {
  if (path.empty()) return Status::failure("No file name was given for the font.");
  const std::string cannot = "Cannot save the font \"" + path + "\": ";
  if (Status limits = sfnt::checkTrueTypeLimits(document); !limits)
    return Status::failure(cannot + limits.message());
  std::vector<uint8_t> bytes = compileTrueType(document);
  if (woff2) {
    std::vector<uint8_t> packed;
    if (Status status = compressWoff2(bytes, packed); !status)
      return Status::failure(cannot + status.message());
    bytes = std::move(packed);
  }
  const common::WriteResult written = common::writeFileAtomically(std::filesystem::path(path), bytes);
  if (written) return Status::success();
  return Status::failure(cannot + written.describe());
}

}  // namespace

int64_t fontSaveTime() {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch && *epoch) {
    char* end = nullptr;
    const long long seconds = std::strtoll(epoch, &end, 10);
    // Far beyond any real date the value is taken as not a time at all.
    if (*end == '\0' && seconds >= 0 && seconds < (int64_t(1) << 40)) return seconds;
  }
  return int64_t(std::time(nullptr));
}

std::vector<uint8_t> compileTrueType(const FontDocument& document, int64_t savedAt) {
  using namespace sfnt;
  FontLayout layout = layoutFont(document);
  GlyfAndLoca outlines = compileGlyf(layout);
  const auto timestamp = uint64_t(std::max<int64_t>(savedAt + kSecondsFrom1904To1970, 0));
  std::vector<Table> tables = {
      {makeTag("head"), compileHead(layout, outlines.longOffsets, timestamp)},
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

std::string fontPostScriptName(const FontDocument& document) {
  const FontInfo& info = document.fontInfo();
  const std::string& family = document.familyName();
  const std::string english = isPlainAscii(family) ? family : info.englishFamily;
  return sfnt::postScriptName(english.empty() ? family : english, info.style);
}

Status compressWoff2(const std::vector<uint8_t>& trueType, std::vector<uint8_t>& woff2) {
  woff2.resize(woff2::MaxWOFF2CompressedSize(trueType.data(), trueType.size()));
  size_t length = woff2.size();
  if (!woff2::ConvertTTFToWOFF2(trueType.data(), trueType.size(), woff2.data(), &length)) {
    woff2.clear();
    return Status::failure("the font could not be packed as WOFF2");
  }
  woff2.resize(length);
  return Status::success();
}

Status saveTrueType(const FontDocument& document, const std::string& path) {
  return writeFont(document, path, false);
}

Status saveFont(const FontDocument& document, const std::string& path) {
  return writeFont(document, path, endsWithWoff2(path));
}

}  // namespace kernova
