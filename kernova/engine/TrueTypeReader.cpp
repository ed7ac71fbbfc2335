// loadTrueType: a TrueType file, read through FreeType, as a document.
//
// The document type: Japanese when OS/2 sets the JIS code page bit, or when the font
// maps a kana, a CJK ideograph or another character of the Japanese blocks that CP932
// codes; else Latin. CP932 also codes U+00A7, Greek, Cyrillic and box drawing in two
// bytes, so a Latin font that has them stays Latin.
// Characters go back to codes through that code page; of several characters giving
// one code, the one the code page gives for the code wins. Outlines are kept point
// for point; a font whose unitsPerEm is not 2048 is scaled to it. A WOFF2 file is
// unpacked to its TrueType font first.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include FT_SFNT_NAMES_H

#include <sys/stat.h>
#include <woff2/decode.h>
#include <woff2/output.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

#include "kernova/engine/TrueTypeReader.h"
#include "common/codepage/CodePage.h"

namespace kernova {
namespace {

using codepage::CodePage;

constexpr size_t kMaxFileSize = size_t(256) << 20;
// Hostile composites can make every glyph huge; a real font stays far below this.
constexpr size_t kMaxTotalPoints = 8'000'000;
constexpr uint32_t kJisCodePageBit = 1u << 17;

// FreeType's library and one face, released together.
class FreeTypeFace {
 public:
  FreeTypeFace() = default;
  FreeTypeFace(const FreeTypeFace&) = delete;
  FreeTypeFace& operator=(const FreeTypeFace&) = delete;
  ~FreeTypeFace() {
    if (m_face) FT_Done_Face(m_face);
    if (m_library) FT_Done_FreeType(m_library);
  }
  FT_Error open(const std::vector<uint8_t>& bytes) {
    if (FT_Error error = FT_Init_FreeType(&m_library)) return error;
    return FT_New_Memory_Face(m_library, bytes.data(), FT_Long(bytes.size()), 0, &m_face);
  }
  FT_Face face() const { return m_face; }

 private:
  FT_Library m_library = nullptr;
  FT_Face m_face = nullptr;
};

// FreeType's own texts for its error codes, from its error list.
struct FreeTypeErrorText {
  FT_Error code;
  const char* text;
};
#undef FTERRORS_H_
#define FT_ERRORDEF(e, v, s) {v, s},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST \
  { 0, nullptr }          \
  }                       \
  ;
constexpr FreeTypeErrorText kFreeTypeErrors[] =
#include FT_ERRORS_H

    std::string freeTypeMessage(FT_Error error) {
  for (const FreeTypeErrorText& entry : kFreeTypeErrors)
    if (entry.text && entry.code == error) return entry.text;
  return "FreeType error " + std::to_string(error);
}

uint32_t leadingTag(const std::vector<uint8_t>& bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

Status checkSignature(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return Status::failure("The font file is empty.");
  if (bytes.size() < 12) return Status::failure("The file is too short to be a font.");
  uint32_t tag = leadingTag(bytes);
  if (tag == FT_MAKE_TAG('O', 'T', 'T', 'O'))
    return Status::failure(
        "The font has PostScript (CFF) outlines; only TrueType outlines "
        "can be opened.");
  if (tag != 0x00010000 && tag != FT_MAKE_TAG('t', 'r', 'u', 'e') &&
      tag != FT_MAKE_TAG('t', 't', 'c', 'f'))
    return Status::failure("The file is not a TrueType font.");
  return Status::success();
}

Status openFace(const std::vector<uint8_t>& bytes, FreeTypeFace& holder) {
  if (Status signature = checkSignature(bytes); !signature) return signature;
  if (FT_Error error = holder.open(bytes))
    return Status::failure("The font file is damaged (" + freeTypeMessage(error) + ").");
  FT_Face face = holder.face();
  FT_ULong glyfLength = 0;
  if (!FT_IS_SFNT(face) || FT_Load_Sfnt_Table(face, TTAG_glyf, 0, nullptr, &glyfLength) != 0)
    return Status::failure("The font has no TrueType outlines (no glyf table).");
  if (face->units_per_EM < 16 || face->units_per_EM > 16384)
    return Status::failure("The font's unitsPerEm (" + std::to_string(face->units_per_EM) +
                           ") is out of range.");
  return Status::success();
}

// ---- Names ----

void appendUtf8(char32_t ch, std::string& out) {
  if (ch < 0x80) {
    out.push_back(char(ch));
  } else if (ch < 0x800) {
    out.push_back(char(0xC0 | ch >> 6));
    out.push_back(char(0x80 | (ch & 0x3F)));
  } else if (ch < 0x10000) {
    out.push_back(char(0xE0 | ch >> 12));
    out.push_back(char(0x80 | (ch >> 6 & 0x3F)));
    out.push_back(char(0x80 | (ch & 0x3F)));
  } else {
    out.push_back(char(0xF0 | ch >> 18));
    out.push_back(char(0x80 | (ch >> 12 & 0x3F)));
    out.push_back(char(0x80 | (ch >> 6 & 0x3F)));
    out.push_back(char(0x80 | (ch & 0x3F)));
  }
}

// UTF-16BE to UTF-8; unpaired surrogates become U+FFFD.
std::string fromUtf16Be(const FT_Byte* data, FT_UInt length) {
  std::string out;
  for (FT_UInt i = 0; i + 1 < length; i += 2) {
    char32_t unit = char32_t(data[i] << 8 | data[i + 1]);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < length) {
      char32_t low = char32_t(data[i + 2] << 8 | data[i + 3]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        appendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
        i += 2;
        continue;
      }
    }
    appendUtf8(unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit, out);
  }
  return out;
}

// Windows US English first, then other Windows Unicode names, then Unicode platform
// names, then Macintosh Roman (its ASCII part); 0 for names not read.
int namePreference(const FT_SfntName& name) {
  bool windowsUnicode =
      name.platform_id == TT_PLATFORM_MICROSOFT &&
      (name.encoding_id == TT_MS_ID_UNICODE_CS || name.encoding_id == TT_MS_ID_UCS_4);
  if (windowsUnicode) return name.language_id == TT_MS_LANGID_ENGLISH_UNITED_STATES ? 4 : 3;
  if (name.platform_id == TT_PLATFORM_APPLE_UNICODE) return 2;
  if (name.platform_id == TT_PLATFORM_MACINTOSH && name.encoding_id == TT_MAC_ID_ROMAN) return 1;
  return 0;
}

std::string decodeName(const FT_SfntName& name) {
  if (name.platform_id != TT_PLATFORM_MACINTOSH) return fromUtf16Be(name.string, name.string_len);
  std::string out;
  for (FT_UInt i = 0; i < name.string_len; ++i)
    out.push_back(name.string[i] < 0x80 ? char(name.string[i]) : '?');
  return out;
}

std::string familyName(FT_Face face) {
  std::string best;
  int bestPreference = 0;
  FT_UInt count = FT_Get_Sfnt_Name_Count(face);
  for (FT_UInt i = 0; i < count; ++i) {
    FT_SfntName name;
    if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != TT_NAME_ID_FONT_FAMILY) continue;
    int preference = namePreference(name);
    if (preference <= bestPreference) continue;
    std::string decoded = decodeName(name);
    if (decoded.empty()) continue;
    best = std::move(decoded);
    bestPreference = preference;
  }
  if (best.empty() && face->family_name) best = face->family_name;
  return best.empty() ? "Untitled" : best;
}

// "Version 2.500" (or "2.5") as thousandths; 1000 when it does not start that way.
uint32_t parseVersion(const std::string& text) {
  std::string rest = text.rfind("Version ", 0) == 0 ? text.substr(8) : text;
  unsigned major = 0;
  char fraction[4] = {};
  if (rest.empty() || !std::isdigit(uint8_t(rest[0])) ||
      std::sscanf(rest.c_str(), "%5u.%3[0-9]", &major, fraction) != 2 || major > 65535)
    return 1000;
  std::string digits = std::string(fraction) + "000";
  return major * 1000 + uint32_t(std::stoul(digits.substr(0, 3)));
}

// The names of the name table, each in its most preferred record; a Japanese family
// is the family, with the English one beside it.
FontInfo readFontInfo(FT_Face face) {
  std::map<FT_UShort, std::pair<int, std::string>> best;
  std::string japaneseFamily;
  FT_UInt count = FT_Get_Sfnt_Name_Count(face);
  for (FT_UInt i = 0; i < count; ++i) {
    FT_SfntName name;
    if (FT_Get_Sfnt_Name(face, i, &name) != 0) continue;
    int preference = namePreference(name);
    if (preference >= 3 && name.language_id == TT_MS_LANGID_JAPANESE_JAPAN &&
        name.name_id == TT_NAME_ID_FONT_FAMILY)
      japaneseFamily = decodeName(name);
    auto& slot = best[name.name_id];
    if (preference > slot.first) slot = {preference, decodeName(name)};
  }
  FontInfo info;
  info.family = japaneseFamily.empty() ? familyName(face) : japaneseFamily;
  if (!japaneseFamily.empty()) info.englishFamily = best[TT_NAME_ID_FONT_FAMILY].second;
  if (!best[TT_NAME_ID_FONT_SUBFAMILY].second.empty()) info.style = best[TT_NAME_ID_FONT_SUBFAMILY].second;
  info.version = parseVersion(best[TT_NAME_ID_VERSION_STRING].second);
  info.designer = best[TT_NAME_ID_DESIGNER].second;
  info.copyright = best[TT_NAME_ID_COPYRIGHT].second;
  info.license = best[TT_NAME_ID_LICENSE].second;
  info.licenseUrl = best[TT_NAME_ID_LICENSE_URL].second;
  return info;
}

// ---- Characters and codes ----

struct MappedCharacter {
  char32_t unicode = 0;
  FT_UInt glyphIndex = 0;
};

// The Unicode map's BMP characters (the code pages reach no further).
Status unicodeCharacters(FT_Face face, std::vector<MappedCharacter>& characters) {
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0)
    return Status::failure("The font has no Unicode character map.");
  FT_UInt index = 0;
  FT_ULong previous = 0;
  // Each step must move forward, so even a damaged map ends within the BMP.
  for (FT_ULong ch = FT_Get_First_Char(face, &index); index != 0 && ch <= 0xFFFF;
       ch = FT_Get_Next_Char(face, ch, &index)) {
    if (!characters.empty() && ch <= previous) break;
    characters.push_back({char32_t(ch), index});
    previous = ch;
  }
  return Status::success();
}

// CJK symbols, kana, CJK ideographs, compatibility ideographs, half- and full-width
// forms.
bool isJapaneseBlock(char32_t ch) {
  return (ch >= 0x3000 && ch <= 0x30FF) || (ch >= 0x4E00 && ch <= 0x9FFF) ||
         (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFF00 && ch <= 0xFFEF);
}

FontType detectType(FT_Face face, const std::vector<MappedCharacter>& characters) {
  auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->version >= 1 &&
      (os2->ulCodePageRange1 & kJisCodePageBit))
    return FontType::Japanese;
  for (const MappedCharacter& mapped : characters)
    if (isJapaneseBlock(mapped.unicode) && codepage::fromUnicode(CodePage::Cp932, mapped.unicode))
      return FontType::Japanese;
  return FontType::Latin;
}

struct CodeGlyph {
  FT_UInt glyphIndex = 0;
  bool exact = false;  // the code page gives this very character for the code
};

std::map<uint16_t, CodeGlyph> glyphsByCode(FontType type,
                                           const std::vector<MappedCharacter>& characters) {
  CodePage page = type == FontType::Japanese ? CodePage::Cp932 : CodePage::Cp1252;
  const CodeOrder& order = CodeOrder::forType(type);
  std::map<uint16_t, CodeGlyph> result;
  for (const MappedCharacter& mapped : characters) {
    std::optional<uint16_t> code = codepage::fromUnicode(page, mapped.unicode);
    if (!code || !order.contains(*code)) continue;
    CodeGlyph candidate{mapped.glyphIndex, codepage::toUnicode(page, *code) == mapped.unicode};
    auto [it, inserted] = result.try_emplace(*code, candidate);
    if (!inserted && candidate.exact && !it->second.exact) it->second = candidate;
  }
  return result;
}

// ---- Outlines ----

int32_t toDocumentUnits(FT_Pos value, FT_UShort unitsPerEm) {
  if (unitsPerEm == kUnitsPerEm) return int32_t(std::clamp<FT_Pos>(value, INT32_MIN, INT32_MAX));
  double scaled = std::nearbyint(double(value) * kUnitsPerEm / unitsPerEm);
  return int32_t(std::clamp(scaled, double(INT32_MIN), double(INT32_MAX)));
}

Status readOutline(const FT_Outline& outline, FT_UShort unitsPerEm, Glyph& glyph) {
  int start = 0;
  for (int c = 0; c < outline.n_contours; ++c) {
    int end = outline.contours[c];
    if (end < start || end >= outline.n_points) return Status::failure("damaged contour list");
    Contour contour;
    contour.reserve(size_t(end - start + 1));
    for (int i = start; i <= end; ++i) {
      int tag = FT_CURVE_TAG(outline.tags[i]);
      if (tag == FT_CURVE_TAG_CUBIC) return Status::failure("cubic curve in a TrueType outline");
      contour.push_back({toDocumentUnits(outline.points[i].x, unitsPerEm),
                         toDocumentUnits(outline.points[i].y, unitsPerEm), tag == FT_CURVE_TAG_ON});
    }
    glyph.contours.push_back(std::move(contour));
    start = end + 1;
  }
  return Status::success();
}

// A glyph the font carries without points exists only for its advance, so it keeps
// that advance as set even when it is the default.
Status readGlyph(FT_Face face, FT_UInt index, size_t& pointBudget, Glyph& glyph) {
  std::string where = "Glyph " + std::to_string(index) + " of the font cannot be read: ";
  if (FT_Error error = FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING))
    return Status::failure(where + freeTypeMessage(error) + ".");
  FT_GlyphSlot slot = face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return Status::failure(where + "not an outline.");
  auto points = size_t(std::max<int>(slot->outline.n_points, 0));
  if (points > pointBudget) return Status::failure("The font's outlines are too large to open.");
  pointBudget -= points;
  if (Status outline = readOutline(slot->outline, face->units_per_EM, glyph); !outline)
    return Status::failure(where + outline.message() + ".");
  glyph.advance = std::max(0, toDocumentUnits(slot->metrics.horiAdvance, face->units_per_EM));
  glyph.advanceSet = glyph.advance != kDefaultAdvance || glyph.contours.empty();
  return Status::success();
}

Status readDocument(FT_Face face, std::unique_ptr<FontDocument>& document) {
  std::vector<MappedCharacter> characters;
  if (Status map = unicodeCharacters(face, characters); !map) return map;
  FontType type = detectType(face, characters);
  FontInfo info = readFontInfo(face);
  auto result = std::make_unique<FontDocument>(type, info.family);
  size_t pointBudget = kMaxTotalPoints;
  for (const auto& [code, source] : glyphsByCode(type, characters)) {
    Glyph glyph;
    if (Status read = readGlyph(face, source.glyphIndex, pointBudget, glyph); !read) return read;
    result->setGlyph(code, std::move(glyph));
  }
  result->setFontInfo(std::move(info));
  result->setModified(false);
  document = std::move(result);
  return Status::success();
}

Status readFile(const std::string& path, std::vector<uint8_t>& bytes) {
  auto cannot = [&](const std::string& why) {
    return Status::failure("Cannot open the font \"" + path + "\": " + why + ".");
  };
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return cannot(std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return cannot("it is not a file");
  if (size_t(info.st_size) > kMaxFileSize) return cannot("the file is too large for a font");
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return cannot(std::strerror(errno));
  bytes.resize(size_t(info.st_size));
  size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed || got != bytes.size()) return cannot("the file could not be read completely");
  return Status::success();
}

bool isWoff2(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= 4 && leadingTag(bytes) == FT_MAKE_TAG('w', 'O', 'F', '2');
}

Status unpackWoff2(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& trueType) {
  std::string unpacked;
  woff2::WOFF2StringOut out(&unpacked);
  out.SetMaxSize(kMaxFileSize);
  if (!woff2::ConvertWOFF2ToTTF(bytes.data(), bytes.size(), &out))
    return Status::failure("The WOFF2 font is damaged.");
  trueType.assign(unpacked.begin(), unpacked.end());
  return Status::success();
}

}  // namespace

Status loadTrueTypeFromMemory(const std::vector<uint8_t>& bytes,
                              std::unique_ptr<FontDocument>& document) {
  std::vector<uint8_t> unpacked;
  if (isWoff2(bytes))
    if (Status status = unpackWoff2(bytes, unpacked); !status) return status;
  FreeTypeFace holder;
  if (Status opened = openFace(isWoff2(bytes) ? unpacked : bytes, holder); !opened) return opened;
  return readDocument(holder.face(), document);
}

Status loadTrueType(const std::string& path, std::unique_ptr<FontDocument>& document) {
  std::vector<uint8_t> bytes;
  if (Status read = readFile(path, bytes); !read) return read;
  std::unique_ptr<FontDocument> loaded;
  if (Status status = loadTrueTypeFromMemory(bytes, loaded); !status)
    return Status::failure("Cannot open the font \"" + path + "\": " + status.message());
  loaded->setFilePath(path);
  document = std::move(loaded);
  return Status::success();
}

}  // namespace kernova
