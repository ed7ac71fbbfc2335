// TrueType reader: any bytes open or fail cleanly. What opens is written, and that
// font must open again and write to the same bytes (the writer normalises once).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "kernova/engine/TrueTypeReader.h"
#include "kernova/engine/TrueTypeWriter.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  std::unique_ptr<kernova::FontDocument> document;
  Status status = kernova::loadTrueTypeFromMemory(bytes, document);
  check(status.ok() == (document != nullptr));
  check(status.ok() || !status.message().empty());
  if (!document) return 0;

  std::vector<uint8_t> written = kernova::compileTrueType(*document, 0);
  std::unique_ptr<kernova::FontDocument> reread;
  check(kernova::loadTrueTypeFromMemory(written, reread).ok());
  check(reread->type() == document->type());
  check(kernova::compileTrueType(*reread, 0) == written);
  return 0;
}
