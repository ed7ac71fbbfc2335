// Only the refusals: the code pages' mappings are exercised by the code orders and the
// fonts written and read back.
#include "common/codepage/CodePage.h"

#include <gtest/gtest.h>

using codepage::CodePage;

TEST(CodePage, CodesWithoutOneCharacterAndCharactersOutsideThePageAreRefused) {
  // A byte CP1252 leaves undefined, anything above a byte in CP1252, CP932's lone lead
  // byte and the pair "AA" (two characters, not one code).
  for (auto [page, code] : {std::pair{CodePage::Cp1252, 0x81}, {CodePage::Cp1252, 0x100}, {CodePage::Cp932, 0x82},
                            {CodePage::Cp932, 0x4141}})
    EXPECT_FALSE(codepage::toUnicode(page, uint16_t(code))) << std::hex << code;
  for (auto [page, ch] : {std::pair{CodePage::Cp1252, char32_t(0x3042)}, {CodePage::Cp932, char32_t(0x20AC)},
                          {CodePage::Cp932, char32_t(0xD800)}, {CodePage::Cp1252, char32_t(0x110000)}})
    EXPECT_FALSE(codepage::fromUnicode(page, ch)) << std::hex << uint32_t(ch);
}
