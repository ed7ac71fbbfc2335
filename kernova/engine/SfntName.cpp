// name: the font's names and notices, for Windows US English; a family that is not
// plain ASCII also as Japanese, with an ASCII family in the English records.
#include <algorithm>
#include <tuple>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"

namespace kernova::sfnt {
namespace {

constexpr size_t kMaxPostScriptName = 63;
constexpr uint16_t kEnglish = 0x0409;
constexpr uint16_t kJapanese = 0x0411;
// Names are cut to these many UTF-16 units, so every record and the whole string
// storage stay far below the 64 KiB that the 16-bit offsets reach.
constexpr size_t kMaxNameUnits = 255;
constexpr size_t kMaxNoticeUnits = 8191;  // copyright and license texts

// UTF-16 code units, cut at `limit` without splitting a surrogate pair.
std::u16string encodeUtf16(const std::string& utf8, size_t limit) {
  std::u16string out;
  for (char32_t ch : utf8CodePoints(utf8)) {
    size_t needed = ch > 0xFFFF ? 2 : 1;
    if (out.size() + needed > limit) break;
    if (ch > 0xFFFF) {
      out.push_back(char16_t(0xD800 + ((ch - 0x10000) >> 10)));
      out.push_back(char16_t(0xDC00 + ((ch - 0x10000) & 0x3FF)));
    } else {
      out.push_back(char16_t(ch));
    }
  }
  return out;
}

struct NameRecord {
  uint16_t languageID = kEnglish;
  uint16_t nameID = 0;
  std::u16string text;
};

std::string fullName(const std::string& family, const std::string& style) {
  return style == "Regular" ? family : family + " " + style;
}

std::vector<NameRecord> nameRecords(const FontInfo& info) {
  const bool localized = !isPlainAscii(info.family);
  const std::string english = !localized ? info.family
                              : info.englishFamily.empty() ? postScriptPart(info.family)
                                                           : info.englishFamily;
  const std::string postScript = postScriptName(english, info.style);
  const std::string version = versionText(info.version);
  auto name = [](const std::string& text) { return encodeUtf16(text, kMaxNameUnits); };
  auto notice = [](const std::string& text) { return encodeUtf16(text, kMaxNoticeUnits); };
  std::vector<NameRecord> records = {
      {kEnglish, 0, notice(info.copyright)},
      {kEnglish, 1, name(english)},
      {kEnglish, 2, name(info.style)},
      {kEnglish, 3, name(version + ";NONE;" + postScript)},
      {kEnglish, 4, name(fullName(english, info.style))},
      {kEnglish, 5, name("Version " + version)},
      {kEnglish, 6, name(postScript)},
      {kEnglish, 9, name(info.designer)},
      {kEnglish, 13, notice(info.license)},
      {kEnglish, 14, name(info.licenseUrl)},
  };
  if (localized) {
    records.push_back({kJapanese, 1, name(info.family)});
    records.push_back({kJapanese, 4, name(fullName(info.family, info.style))});
  }
  std::erase_if(records, [](const NameRecord& record) { return record.text.empty(); });
  std::sort(records.begin(), records.end(), [](const NameRecord& a, const NameRecord& b) {
    return std::tie(a.languageID, a.nameID) < std::tie(b.languageID, b.nameID);
  });
  return records;
}

}  // namespace

std::string postScriptName(const std::string& familyUtf8, const std::string& styleUtf8) {
  std::string family = postScriptPart(familyUtf8);
  if (family.empty()) family = "Untitled";
  std::string style = postScriptPart(styleUtf8);
  if (style.empty()) style = "Regular";
  style.resize(std::min(style.size(), kMaxPostScriptName / 2));
  family.resize(std::min(family.size(), kMaxPostScriptName - 1 - style.size()));
  return family + "-" + style;
}

std::vector<uint8_t> compileName(const FontLayout& layout) {
  const std::vector<NameRecord> records = nameRecords(layout.info);
  SfntBuffer out;
  out.u16(0);  // version
  out.u16(uint32_t(records.size()));
  out.u16(uint32_t(6 + 12 * records.size()));  // storageOffset
  size_t stringOffset = 0;
  for (const NameRecord& record : records) {
    out.u16(3);  // platformID Windows
    out.u16(1);  // encodingID Unicode BMP
    out.u16(record.languageID);
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
