#include "platform/codepage/CodePage.h"

#include <gtest/gtest.h>

using codepage::CodePage;
using codepage::fromUnicode;
using codepage::toUnicode;

TEST(CodePage1252, DecodesAsciiAndTheWindowsBlock) {
  EXPECT_EQ(toUnicode(CodePage::Cp1252, 0x41), U'A');
  EXPECT_EQ(toUnicode(CodePage::Cp1252, 0x80), U'\u20AC');
  EXPECT_EQ(toUnicode(CodePage::Cp1252, 0x9F), U'\u0178');
  EXPECT_EQ(toUnicode(CodePage::Cp1252, 0xE9), U'\u00E9');
}

TEST(CodePage1252, UndefinedCodesHaveNoCharacter) {
  for (uint16_t code : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_FALSE(toUnicode(CodePage::Cp1252, code)) << std::hex << code;
  }
}

TEST(CodePage1252, DoubleByteCodesHaveNoCharacter) {
  EXPECT_FALSE(toUnicode(CodePage::Cp1252, 0x82A0));
  EXPECT_FALSE(toUnicode(CodePage::Cp1252, 0x0100));
}

TEST(CodePage1252, EncodesKnownCharacters) {
  EXPECT_EQ(fromUnicode(CodePage::Cp1252, U'\u20AC'), 0x80);
  EXPECT_EQ(fromUnicode(CodePage::Cp1252, U'z'), 0x7A);
  EXPECT_FALSE(fromUnicode(CodePage::Cp1252, U'\u3042'));
}

TEST(CodePage932, DecodesSingleAndDoubleBytes) {
  EXPECT_EQ(toUnicode(CodePage::Cp932, 0x82A0), U'\u3042');
  EXPECT_EQ(toUnicode(CodePage::Cp932, 0x41), U'A');
  EXPECT_EQ(toUnicode(CodePage::Cp932, 0xB1), U'\uFF71');  // half-width katakana a
  EXPECT_EQ(toUnicode(CodePage::Cp932, 0x889F), U'\u4E9C');
}

TEST(CodePage932, LoneLeadBytesAndBytePairsOfTwoCharactersAreRefused) {
  EXPECT_FALSE(toUnicode(CodePage::Cp932, 0x82));
  EXPECT_FALSE(toUnicode(CodePage::Cp932, 0x4141));  // "AA", not one code
  EXPECT_FALSE(toUnicode(CodePage::Cp932, 0x80));
}

TEST(CodePage932, EncodesToDoubleByteCodes) {
  EXPECT_EQ(fromUnicode(CodePage::Cp932, U'\u3042'), 0x82A0);
  EXPECT_EQ(fromUnicode(CodePage::Cp932, U'\uFF71'), 0xB1);
  EXPECT_FALSE(fromUnicode(CodePage::Cp932, U'\u20AC'));
}

TEST(CodePageRoundTrip, EveryDecodedLatinCodeEncodesBack) {
  for (uint16_t code = 0; code <= 0xFF; ++code) {
    auto ch = toUnicode(CodePage::Cp1252, code);
    if (!ch) continue;
    EXPECT_EQ(fromUnicode(CodePage::Cp1252, *ch), code) << std::hex << code;
  }
}

TEST(CodePageRoundTrip, SurrogatesAndOutOfRangeValuesAreRefused) {
  EXPECT_FALSE(fromUnicode(CodePage::Cp932, char32_t(0xD800)));
  EXPECT_FALSE(fromUnicode(CodePage::Cp1252, char32_t(0x110000)));
}
