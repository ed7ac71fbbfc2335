#include "kernova/engine/FontInfo.h"

#include <algorithm>
#include <cstdio>

namespace kernova {
namespace {

bool allowedInPostScriptName(char32_t ch) {
  if (ch < 33 || ch > 126) return false;
  for (char forbidden : std::string("[](){}<>/%"))
    if (ch == char32_t(forbidden)) return false;
  return true;
}

}  // namespace

bool isPlainAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char ch) { return uint8_t(ch) < 0x80; });
}

std::string versionText(uint32_t version) {
  char text[24];
  std::snprintf(text, sizeof text, "%u.%03u", version / 1000, version % 1000);
  return text;
}

std::string postScriptPart(const std::string& textUtf8) {
  const std::u32string text = utf8CodePoints(textUtf8);
  std::string part;
  for (char32_t ch : text)
    if (allowedInPostScriptName(ch)) part.push_back(char(ch));
  if (!part.empty()) return part;
  for (char32_t ch : text) {
    if (ch == U' ') continue;
    char hex[12];
    std::snprintf(hex, sizeof hex, "u%04X", unsigned(ch));
    part += hex;
  }
  return part;
}

std::u32string utf8CodePoints(const std::string& text) {
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

}  // namespace kernova
