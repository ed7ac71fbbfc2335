// name: the family, style, version and PostScript names.
#include <cstdio>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

constexpr size_t kMaxPostScriptName = 63;
// Longer families are cut, so every record and the string storage stay far below
// the 64 KiB that the 16-bit offsets reach.
constexpr size_t kMaxNameUnits = 255;

// Code points of UTF-8 text; a malformed sequence gives U+FFFD and resynchronises
// at the next byte.
std::u32string decodeUtf8(const std::string& text) {
  std::u32string out;
  size_t i = 0;
  while (i < text.size()) {
    auto lead = uint8_t(text[i]);
    int length = lead < 0x80         ? 1
                 : (lead >> 5) == 6  ? 2
                 : (lead >> 4) == 14 ? 3
                 : (lead >> 3) == 30 ? 4
                                     : 0;
    char32_t ch = length == 1   ? lead
                  : length == 2 ? lead & 0x1F
                  : length == 3 ? lead & 0x0F
                                : lead & 0x07;
    bool valid = length > 0 && i + size_t(length) <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      auto next = uint8_t(text[i + size_t(k)]);
      valid = (next & 0xC0) == 0x80;
      ch = ch << 6 | (next & 0x3F);
    }
    char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
    valid = valid && ch >= minimum && ch <= 0x10FFFF && !(ch >= 0xD800 && ch <= 0xDFFF);
    out.push_back(valid ? ch : U'\uFFFD');
    i += valid ? size_t(length) : 1;
  }
  return out;
}

// UTF-16 code units, cut at kMaxNameUnits without splitting a surrogate pair.
std::u16string encodeUtf16(const std::u32string& text) {
  std::u16string out;
  for (char32_t ch : text) {
    size_t needed = ch > 0xFFFF ? 2 : 1;
    if (out.size() + needed > kMaxNameUnits) break;
    if (ch > 0xFFFF) {
      out.push_back(char16_t(0xD800 + ((ch - 0x10000) >> 10)));
      out.push_back(char16_t(0xDC00 + ((ch - 0x10000) & 0x3FF)));
    } else {
      out.push_back(char16_t(ch));
    }
  }
  return out;
}

std::u16string asciiUtf16(const std::string& text) { return {text.begin(), text.end()}; }

bool allowedInPostScriptName(char32_t ch) {
  if (ch < 33 || ch > 126) return false;
  for (char forbidden : std::string("[](){}<>/%"))
    if (ch == char32_t(forbidden)) return false;
  return true;
}

struct NameRecord {
  uint16_t nameID = 0;
  std::u16string text;
};

}  // namespace

std::string postScriptName(const std::string& familyUtf8) {
  std::u32string family = decodeUtf8(familyUtf8);
  std::string name;
  for (char32_t ch : family)
    if (allowedInPostScriptName(ch)) name.push_back(char(ch));
  if (name.empty()) {
    for (char32_t ch : family) {
      char hex[12];
      std::snprintf(hex, sizeof hex, "u%04X", unsigned(ch));
      name += hex;
    }
  }
  if (name.empty()) name = "Untitled";
  const std::string style = "-Regular";
  if (name.size() > kMaxPostScriptName - style.size())
    name.resize(kMaxPostScriptName - style.size());
  return name + style;
}

std::vector<uint8_t> compileName(const FontLayout& layout) {
  std::u16string family = encodeUtf16(decodeUtf8(layout.familyName));
  std::string postScript = postScriptName(layout.familyName);
  const std::vector<NameRecord> records = {
      {1, family}, {2, u"Regular"},       {3, asciiUtf16("1.000;NONE;" + postScript)},
      {4, family}, {5, u"Version 1.000"}, {6, asciiUtf16(postScript)},
  };
  SfntBuffer out;
  out.u16(0);  // version
  out.u16(uint32_t(records.size()));
  out.u16(uint32_t(6 + 12 * records.size()));  // storageOffset
  size_t stringOffset = 0;
  for (const NameRecord& record : records) {
    out.u16(3);       // platformID Windows
    out.u16(1);       // encodingID Unicode BMP
    out.u16(0x0409);  // languageID English (United States)
    out.u16(record.nameID);
    out.u16(uint32_t(record.text.size() * 2));
    out.u16(uint32_t(stringOffset));
    stringOffset += record.text.size() * 2;
  }
  for (const NameRecord& record : records)
    for (char16_t unit : record.text) out.u16(unit);
  return out.take();
}

}  // namespace kernova::sfnt
