#pragma once
// The names a font carries besides its outlines: what the name table and the head
// table's revision hold. Texts are UTF-8.
#include <cstdint>
#include <string>

namespace kernova {

struct FontInfo {
  std::string family;         // empty until set: the document's name stands in
  std::string englishFamily;  // for English records of a non-ASCII family; empty: the PostScript form
  std::string style = "Regular";
  uint32_t version = 1000;  // thousandths: 1000 is "1.000"
  std::string designer;
  std::string copyright;
  std::string license;
  std::string licenseUrl;
  friend bool operator==(const FontInfo&, const FontInfo&) = default;
};

bool isPlainAscii(const std::string& text);
// "1.000" for 1000.
std::string versionText(uint32_t version);
// A PostScript-safe spelling of a text: printable ASCII 33..126 without [](){}<>/%;
// a text made only of other characters is spelled by its code points ("u3042").
// Empty for an empty text.
std::string postScriptPart(const std::string& textUtf8);
// Code points of UTF-8 text; a malformed sequence gives U+FFFD and resynchronises at
// the next byte.
std::u32string utf8CodePoints(const std::string& text);

}  // namespace kernova
