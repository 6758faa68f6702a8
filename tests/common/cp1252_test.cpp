#include "common/cp1252.h"

#include <gtest/gtest.h>

// Every byte survives the trip to Unicode and back, so a file read and written
// again by the program keeps its bytes, whatever they are.
TEST(Cp1252, EveryByteComesBackAsItWas) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string text = common::from_cp1252(all);
  ASSERT_EQ(text.size(), 256u);
  EXPECT_EQ(text[0xB0], u'°');
  EXPECT_EQ(text[0x80], u'€');
  EXPECT_EQ(text[0x9F], u'Ÿ');
  EXPECT_EQ(text[0x81], char16_t{0x81}) << "an unassigned byte stands for the control of its value";
  EXPECT_EQ(common::to_cp1252(text), all);
}

// A character without a byte is refused as a whole, not replaced: U+0080
// (its byte 0x80 stands for the euro sign) and anything beyond the code page.
TEST(Cp1252, TextWithACharacterOutsideTheCodePageIsRefused) {
  EXPECT_EQ(common::to_cp1252(u"caf\u00e9 \u20ac"), "caf\xE9 \x80");
  EXPECT_EQ(common::to_cp1252(u"a\u0080"), std::nullopt);
  EXPECT_EQ(common::to_cp1252(u"\u0100"), std::nullopt);
  EXPECT_EQ(common::to_cp1252(u"trace\u2603.txt"), std::nullopt);
  EXPECT_EQ(common::to_cp1252(u""), "");
}
