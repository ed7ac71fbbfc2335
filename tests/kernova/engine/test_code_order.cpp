#include "kernova/engine/CodeOrder.h"

#include <gtest/gtest.h>

#include <algorithm>

using kernova::CodeOrder;
using kernova::FontType;

namespace {
const CodeOrder& latin() { return CodeOrder::forType(FontType::Latin); }
const CodeOrder& japanese() { return CodeOrder::forType(FontType::Japanese); }
}  // namespace

TEST(LatinCodeOrder, HoldsThePrintableCp1252Codes) {
  // 0x20..0x7E, and 0x80..0xFF without the five undefined codes.
  EXPECT_EQ(latin().codes().size(), 95u + 128u - 5u);
  EXPECT_EQ(latin().codes().front(), 0x20);
  EXPECT_EQ(latin().codes().back(), 0xFF);
  EXPECT_TRUE(latin().contains(0x80));
  EXPECT_TRUE(latin().contains(0xA0));
  EXPECT_FALSE(latin().contains(0x1F));
  EXPECT_FALSE(latin().contains(0x7F));
  EXPECT_FALSE(latin().contains(0x81));
  EXPECT_FALSE(latin().contains(0x9D));
  EXPECT_FALSE(latin().contains(0x82A0));
}

TEST(LatinCodeOrder, StepsOverHolesAndStaysPutAtTheEnds) {
  EXPECT_EQ(latin().next(0x7E), 0x80);
  EXPECT_EQ(latin().next(0x80), 0x82);
  EXPECT_EQ(latin().previous(0x82), 0x80);
  EXPECT_EQ(latin().next(0xFF), 0xFF);
  EXPECT_EQ(latin().previous(0x20), 0x20);
}

TEST(JapaneseCodeOrder, HoldsSingleBytesAndDoubleByteCharacters) {
  EXPECT_TRUE(japanese().contains(0x20));
  EXPECT_TRUE(japanese().contains(0xA1));
  EXPECT_TRUE(japanese().contains(0xDF));
  EXPECT_TRUE(japanese().contains(0x82A0));
  EXPECT_TRUE(japanese().contains(0x8140));  // ideographic space
  EXPECT_FALSE(japanese().contains(0x80));
  EXPECT_FALSE(japanese().contains(0xA0));
  EXPECT_FALSE(japanese().contains(0x82));   // a lead byte alone
  EXPECT_FALSE(japanese().contains(0x817F));  // 0x7F is never a trail byte
  EXPECT_EQ(japanese().codes().front(), 0x20);
  EXPECT_EQ(japanese().codes().back(), 0xFC4B);
}

TEST(JapaneseCodeOrder, LeavesOutTheUserDefinedArea) {
  for (uint16_t code : {0xF040, 0xF5A0, 0xF9FC}) EXPECT_FALSE(japanese().contains(code));
  EXPECT_EQ(japanese().next(0xEFFC), 0xFA40);
  auto inArea = [](uint16_t c) { return c >= 0xF040 && c <= 0xF9FC; };
  EXPECT_TRUE(std::none_of(japanese().codes().begin(), japanese().codes().end(), inArea));
}

TEST(JapaneseCodeOrder, SizeCountsSingleBytesAndMappedPairs) {
  size_t singles = std::count_if(japanese().codes().begin(), japanese().codes().end(),
                                 [](uint16_t c) { return c <= 0xFF; });
  EXPECT_EQ(singles, 95u + 63u);
  // JIS X 0208 (6879), NEC row 13 (83), NEC-selected IBM (374) and IBM (388) extensions.
  EXPECT_EQ(japanese().codes().size() - singles, 7724u);
}

TEST(JapaneseCodeOrder, IsStrictlyAscending) {
  const auto& codes = japanese().codes();
  EXPECT_TRUE(std::adjacent_find(codes.begin(), codes.end(),
                                 [](uint16_t a, uint16_t b) { return a >= b; }) == codes.end());
}

TEST(JapaneseCodeOrder, NeighboursOfHiraganaA) {
  EXPECT_EQ(japanese().next(0x82A0), 0x82A1);
  EXPECT_EQ(japanese().previous(0x82A0), 0x829F);
  EXPECT_EQ(japanese().next(0xFC4B), 0xFC4B);
  EXPECT_EQ(japanese().previous(0x20), 0x20);
  EXPECT_EQ(japanese().indexOf(0x20), 0);
  EXPECT_EQ(japanese().indexOf(0xF040), -1);
}

TEST(CodeOrder, IsBuiltOnceAndShared) {
  EXPECT_EQ(&CodeOrder::forType(FontType::Latin), &latin());
  EXPECT_EQ(&CodeOrder::forType(FontType::Japanese).codes(), &japanese().codes());
}

TEST(CodeOrder, ConstructorSortsAndDropsDuplicates) {
  CodeOrder order({5, 1, 3, 3});
  EXPECT_EQ(order.codes(), (std::vector<uint16_t>{1, 3, 5}));
  EXPECT_EQ(order.next(3), 5);
  EXPECT_EQ(order.previous(3), 1);
  EXPECT_EQ(order.indexOf(4), -1);
}
