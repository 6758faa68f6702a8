#include "serial/com_select_text.h"

#include <gtest/gtest.h>

namespace serial {
namespace {

// Every entry parses back to its own ordinal, for every kind: a misplaced or
// mistyped form breaks this round trip.
TEST(ComSelectText, EntriesAreInOrdinalOrderAndParseBack) {
  const struct {
    TComProperty kind;
    std::size_t count;
    std::string_view (*name)(unsigned);
    unsigned (*parse)(std::string_view);
  } kinds[] = {
      {cpBaudRate, 16, [](unsigned v) { return BaudRateName(TBaudRate(v)); },
       [](std::string_view t) -> unsigned { return ParseBaudRate(t); }},
      {cpDataBits, 4, [](unsigned v) { return DataBitsName(TDataBits(v)); },
       [](std::string_view t) -> unsigned { return ParseDataBits(t); }},
      {cpStopBits, 3, [](unsigned v) { return StopBitsName(TStopBits(v)); },
       [](std::string_view t) -> unsigned { return ParseStopBits(t); }},
      {cpParity, 5, [](unsigned v) { return ParityName(TParityBits(v)); },
       [](std::string_view t) -> unsigned { return ParseParity(t); }},
      {cpFlowControl, 4, [](unsigned v) { return FlowControlName(TFlowControl(v)); },
       [](std::string_view t) -> unsigned { return ParseFlowControl(t); }},
  };
  for (const auto& k : kinds) {
    const auto entries = SettingEntries(k.kind);
    ASSERT_EQ(entries.size(), k.count) << int(k.kind);
    for (unsigned v = 0; v < k.count; ++v) {
      EXPECT_EQ(entries[v], k.name(v));
      EXPECT_EQ(k.parse(entries[v]), v) << entries[v];
    }
    EXPECT_EQ(k.name(k.count), "") << "a number past the last value has no text form";
  }
  EXPECT_TRUE(SettingEntries(cpNone).empty());
  EXPECT_TRUE(SettingEntries(cpPort).empty());
}

TEST(ComSelectText, TextFormsOfSomeValues) {
  EXPECT_EQ(BaudRateName(brCustom), "Custom");
  EXPECT_EQ(BaudRateName(br4800), "4800");
  EXPECT_EQ(BaudRateName(br256000), "256000");
  EXPECT_EQ(DataBitsName(dbFive), "5");
  EXPECT_EQ(StopBitsName(sbOne5StopBits), "1.5");
  EXPECT_EQ(ParityName(prSpace), "Space");
  EXPECT_EQ(FlowControlName(fcNone), "None");
}

TEST(ComSelectText, ParsingIgnoresLetterCaseOnly) {
  EXPECT_EQ(ParseBaudRate("4800"), br4800);
  EXPECT_EQ(ParseBaudRate("custom"), brCustom);
  EXPECT_EQ(ParseBaudRate("cUSTOM"), brCustom);
  EXPECT_EQ(ParseParity("eVeN"), prEven);
  EXPECT_EQ(ParseFlowControl("none"), fcNone);
  EXPECT_EQ(ParseFlowControl("SOFTWARE"), fcSoftware);
  // A Latin-1 capital is not a letter a to z: "Ñone" is no match.
  EXPECT_EQ(ParseParity("\xD1one"), prNone);
  EXPECT_EQ(ParseFlowControl("\xD1one"), fcCustom);
}

TEST(ComSelectText, UnmatchedTextsGiveTheDefaults) {
  for (std::string_view text : {"", " 4800", "4800 ", "48", "48000", "Custom\n"}) {
    EXPECT_EQ(ParseBaudRate(text), br9600) << '"' << text << '"';
  }
  EXPECT_EQ(ParseDataBits(""), dbEight);
  EXPECT_EQ(ParseDataBits("9"), dbEight);
  EXPECT_EQ(ParseStopBits("1,5"), sbOneStopBit);
  EXPECT_EQ(ParseParity("Od"), prNone);
  EXPECT_EQ(ParseFlowControl("RTS/CTS"), fcCustom);
  EXPECT_EQ(ParseFlowControl(std::string_view("None\0", 5)), fcCustom);
}

TEST(ComSelectText, PortNamesSortIgnoringLetterCase) {
  std::vector<std::string> names = {"COM3", "COM1", "COM10"};
  SortPortNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM10", "COM3"}));

  names = {"ttyS0", "ttyUSB0", "ttyacm1", "ttyACM0", "rfcomm0"};
  SortPortNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"rfcomm0", "ttyACM0", "ttyacm1", "ttyS0", "ttyUSB0"}));

  // Same name in two cases: a fixed order whatever the listing order.
  std::vector<std::string> a = {"com1", "COM1"}, b = {"COM1", "com1"};
  SortPortNames(a);
  SortPortNames(b);
  EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace serial
