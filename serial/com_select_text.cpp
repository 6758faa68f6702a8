#include "serial/com_select_text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace serial {
namespace {

constexpr std::array<std::string_view, 16> kBaudRates = {"Custom", "110",    "300",    "600",   "1200",  "2400",
                                                         "4800",   "9600",   "14400",  "19200", "38400", "56000",
                                                         "57600",  "115200", "128000", "256000"};
constexpr std::array<std::string_view, 4> kDataBits = {"5", "6", "7", "8"};
constexpr std::array<std::string_view, 3> kStopBits = {"1", "1.5", "2"};
constexpr std::array<std::string_view, 5> kParities = {"None", "Odd", "Even", "Mark", "Space"};
constexpr std::array<std::string_view, 4> kFlowControls = {"Hardware", "Software", "None", "Custom"};

static_assert(kBaudRates.size() == br256000 + 1 && kDataBits.size() == dbEight + 1 &&
              kStopBits.size() == sbTwoStopBits + 1 && kParities.size() == prSpace + 1 &&
              kFlowControls.size() == fcCustom + 1);

// Only a to z: the forms are plain ASCII, and a locale's case rules must not
// make other bytes of a text match them.
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_text(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return upper(x) == upper(y); });
}

template <std::size_t N>
std::string_view name_of(const std::array<std::string_view, N>& names, unsigned value) {
  return value < N ? names[value] : std::string_view();
}

template <typename E, std::size_t N>
E parse(std::string_view text, const std::array<std::string_view, N>& names, E fallback) {
  for (std::size_t i = 0; i < N; ++i) {
    if (same_text(text, names[i])) return static_cast<E>(i);
  }
  return fallback;
}

}  // namespace

std::string_view BaudRateName(TBaudRate value) { return name_of(kBaudRates, value); }
std::string_view DataBitsName(TDataBits value) { return name_of(kDataBits, value); }
std::string_view StopBitsName(TStopBits value) { return name_of(kStopBits, value); }
std::string_view ParityName(TParityBits value) { return name_of(kParities, value); }
std::string_view FlowControlName(TFlowControl value) { return name_of(kFlowControls, value); }

TBaudRate ParseBaudRate(std::string_view text) { return parse(text, kBaudRates, br9600); }
TDataBits ParseDataBits(std::string_view text) { return parse(text, kDataBits, dbEight); }
TStopBits ParseStopBits(std::string_view text) { return parse(text, kStopBits, sbOneStopBit); }
TParityBits ParseParity(std::string_view text) { return parse(text, kParities, prNone); }
TFlowControl ParseFlowControl(std::string_view text) { return parse(text, kFlowControls, fcCustom); }

std::span<const std::string_view> SettingEntries(TComProperty kind) {
  switch (kind) {
    case cpBaudRate:
      return kBaudRates;
    case cpDataBits:
      return kDataBits;
    case cpStopBits:
      return kStopBits;
    case cpParity:
      return kParities;
    case cpFlowControl:
      return kFlowControls;
    case cpNone:
    case cpPort:
      break;
  }
  return {};
}

int IndexOfText(std::span<const std::string> entries, std::string_view text) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (same_text(entries[i], text)) return static_cast<int>(i);
  }
  return -1;
}

void SortPortNames(std::vector<std::string>& names) {
  // Names differing only in case still get a fixed order: bytewise.
  std::ranges::sort(names, {}, [](const std::string& name) {
    std::string folded = name;
    std::ranges::transform(folded, folded.begin(), lower);
    return std::pair(std::move(folded), name);
  });
}

}  // namespace serial
