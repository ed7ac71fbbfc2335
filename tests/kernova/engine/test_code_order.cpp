#include "kernova/engine/CodeOrder.h"

#include <gtest/gtest.h>

using kernova::CodeOrder;
using kernova::FontType;

namespace {
const CodeOrder& latin() { return CodeOrder::forType(FontType::Latin); }
const CodeOrder& japanese() { return CodeOrder::forType(FontType::Japanese); }
}  // namespace

// Latin: 0x20..0x7E and 0x80..0xFF less CP1252's five undefined codes. Japanese: 95
// ASCII, 63 half-width katakana and 7724 pairs (JIS X 0208 6879, NEC row 13 83,
// NEC-selected IBM 374, IBM 388), never the user-defined area 0xF040..0xF9FC.
TEST(CodeOrder, HoldsThePrintableCodesOfItsCodePage) {
  EXPECT_EQ(latin().codes().size(), 95u + 128u - 5u);
  EXPECT_EQ(japanese().codes().size(), 95u + 63u + 7724u);
  for (uint16_t code : {0x20, 0x80, 0xA0}) EXPECT_TRUE(latin().contains(code)) << std::hex << code;
  for (uint16_t code : {0x1F, 0x7F, 0x81, 0x9D, 0x82A0}) EXPECT_FALSE(latin().contains(code)) << std::hex << code;
  for (uint16_t code : {0xA1, 0xDF, 0x8140}) EXPECT_TRUE(japanese().contains(code)) << std::hex << code;
  for (uint16_t code : {0x80, 0xA0, 0x82, 0x817F, 0xF040, 0xF5A0, 0xF9FC})
    EXPECT_FALSE(japanese().contains(code)) << std::hex << code;
}

TEST(CodeOrder, NextAndPreviousStepOverHolesAndStayPutAtTheEnds) {
  const struct {
    const CodeOrder& order;
    uint16_t from, next, previous;
  } steps[] = {{latin(), 0x7E, 0x80, 0x7D},          {latin(), 0x80, 0x82, 0x7E},
               {latin(), 0xFF, 0xFF, 0xFE},          {latin(), 0x20, 0x21, 0x20},
               {japanese(), 0xEEFC, 0xFA40, 0xEEFB}, {japanese(), 0xFC4B, 0xFC4B, 0xFC4A}};
  for (const auto& s : steps) {
    EXPECT_EQ(s.order.next(s.from), s.next) << std::hex << s.from;
    EXPECT_EQ(s.order.previous(s.from), s.previous) << std::hex << s.from;
  }
  CodeOrder order({5, 1, 3, 3});
  EXPECT_EQ(order.codes(), (std::vector<uint16_t>{1, 3, 5}));
  EXPECT_EQ(order.indexOf(5), 2);
  EXPECT_EQ(order.indexOf(4), -1);
}
