#include "kernova/engine/CodeOrder.h"

#include <algorithm>

#include "common/codepage/CodePage.h"

namespace kernova {
namespace {

using codepage::CodePage;

// The first and last double-byte codes of CP932's user-defined area (mapped to the
// private use area; a font made here does not carry them).
constexpr uint16_t kUserDefinedFirst = 0xF040;
constexpr uint16_t kUserDefinedLast = 0xF9FC;

// Printable means "not a control character": C0, DEL and C1 are out, the space and
// every other character (no-break space and soft hyphen included) are in.
bool isPrintable(char32_t ch) {
  return ch >= 0x20 && !(ch >= 0x7F && ch <= 0x9F);
}

void addPrintableSingleBytes(CodePage page, std::vector<uint16_t>& codes) {
  for (uint16_t code = 0; code <= 0xFF; ++code) {
    std::optional<char32_t> ch = codepage::toUnicode(page, code);
    if (ch && isPrintable(*ch)) codes.push_back(code);
  }
}

std::vector<uint16_t> latinCodes() {
  std::vector<uint16_t> codes;
  addPrintableSingleBytes(CodePage::Cp1252, codes);
  return codes;
}

// A code whose character converts back to another code (NEC row 13 against JIS X
// 0208, the NEC-selected IBM extensions against the IBM extensions) stands for a
// character that code already stands for; a font shows one glyph per character, so a
// glyph drawn at such a code could never reach it.
bool isCharactersOwnCode(uint16_t code) {
  std::optional<char32_t> ch = codepage::toUnicode(CodePage::Cp932, code);
  return ch && codepage::fromUnicode(CodePage::Cp932, *ch) == code;
}

// Lead bytes 0x81..0x9F and 0xE0..0xFC, trail bytes 0x40..0xFC; iconv decides which
// of those pairs stand for a character of their own. Every single byte does.
std::vector<uint16_t> japaneseCodes() {
  std::vector<uint16_t> codes;
  addPrintableSingleBytes(CodePage::Cp932, codes);
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      auto code = uint16_t(lead << 8 | trail);
      if (code >= kUserDefinedFirst && code <= kUserDefinedLast) continue;
      if (isCharactersOwnCode(code)) codes.push_back(code);
    }
  }
  return codes;
}

}  // namespace

const CodeOrder& CodeOrder::forType(FontType type) {
  static const CodeOrder latin(latinCodes());
  static const CodeOrder japanese(japaneseCodes());
  return type == FontType::Latin ? latin : japanese;
}

CodeOrder::CodeOrder(std::vector<uint16_t> ascendingCodes) : m_codes(std::move(ascendingCodes)) {
  std::sort(m_codes.begin(), m_codes.end());
  m_codes.erase(std::unique(m_codes.begin(), m_codes.end()), m_codes.end());
}

bool CodeOrder::contains(uint16_t code) const {
  return std::binary_search(m_codes.begin(), m_codes.end(), code);
}

int CodeOrder::indexOf(uint16_t code) const {
  auto it = std::lower_bound(m_codes.begin(), m_codes.end(), code);
  if (it == m_codes.end() || *it != code) return -1;
  return int(it - m_codes.begin());
}

uint16_t CodeOrder::next(uint16_t code) const {
  auto it = std::upper_bound(m_codes.begin(), m_codes.end(), code);
  return it == m_codes.end() ? code : *it;
}

uint16_t CodeOrder::previous(uint16_t code) const {
  auto it = std::lower_bound(m_codes.begin(), m_codes.end(), code);
  return it == m_codes.begin() ? code : *(it - 1);
}

}  // namespace kernova
