#include "common/codepage/CodePage.h"

#include <gtest/gtest.h>

using codepage::CodePage;
using codepage::fromUnicode;
using codepage::toUnicode;

TEST(CodePage, KnownCodesConvertBothWays) {
  struct Pair {
    CodePage page;
    uint16_t code;
    char32_t ch;
  };
  const Pair pairs[] = {
      {CodePage::Cp1252, 0x41, U'A'},           {CodePage::Cp1252, 0x80, U'\u20AC'},
      {CodePage::Cp1252, 0x9F, U'\u0178'},      {CodePage::Cp1252, 0xE9, U'\u00E9'},
      {CodePage::Cp932, 0x41, U'A'},            {CodePage::Cp932, 0x82A0, U'\u3042'},
      {CodePage::Cp932, 0xB1, U'\uFF71'},       {CodePage::Cp932, 0x889F, U'\u4E9C'},
  };
  for (const Pair& p : pairs) {
    EXPECT_EQ(toUnicode(p.page, p.code), p.ch) << std::hex << p.code;
    EXPECT_EQ(fromUnicode(p.page, p.ch), p.code) << std::hex << p.code;
  }
}

TEST(CodePage, CodesWithoutACharacterAreRefused) {
  // CP1252's undefined bytes and anything above a byte; CP932's lone lead byte 0x82,
  // the pair "AA" (two characters, not one code) and the unused 0x80.
  for (uint16_t code : {0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x0100, 0x82A0})
    EXPECT_FALSE(toUnicode(CodePage::Cp1252, code)) << std::hex << code;
  for (uint16_t code : {0x82, 0x4141, 0x80})
    EXPECT_FALSE(toUnicode(CodePage::Cp932, code)) << std::hex << code;
}

TEST(CodePage, CharactersOutsideThePageAreRefused) {
  EXPECT_FALSE(fromUnicode(CodePage::Cp1252, U'\u3042'));
  EXPECT_FALSE(fromUnicode(CodePage::Cp932, U'\u20AC'));
  EXPECT_FALSE(fromUnicode(CodePage::Cp932, char32_t(0xD800)));
  EXPECT_FALSE(fromUnicode(CodePage::Cp1252, char32_t(0x110000)));
}

TEST(CodePage, EveryDecodedLatinCodeEncodesBack) {
  for (uint16_t code = 0; code <= 0xFF; ++code) {
    auto ch = toUnicode(CodePage::Cp1252, code);
    if (!ch) continue;
    EXPECT_EQ(fromUnicode(CodePage::Cp1252, *ch), code) << std::hex << code;
  }
}
