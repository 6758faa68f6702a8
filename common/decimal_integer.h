// Whole numbers as the program's texts hold them (RMC fields, journal
// fields): optional leading blanks, an optional sign, then one or more decimal
// digits. Each caller gives the range it accepts; a value outside it fails,
// and so does a number too long to hold, which is why the digits are counted
// against the range as they come. Header-only: the journal scanner calls it
// for six fields of every line.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace common {

struct DecimalPrefix {
  const char* next;  // just past the last digit; nullptr when no number in range starts the text
  int64_t value;
};

// The number at the start of [first, last); what follows its digits is left
// to the caller. INT64_MIN < `low` <= 0 <= `high`.
constexpr DecimalPrefix decimal_prefix(const char* first, const char* last, int64_t low, int64_t high) {
  const char* p = first;
  while (p != last && *p == ' ') ++p;
  bool negative = false;
  if (p != last && (*p == '-' || *p == '+')) negative = *p++ == '-';
  // The largest magnitude either sign may reach; more digits cannot come back into range.
  const uint64_t limit = static_cast<uint64_t>(high > -low ? high : -low);
  const char* digits = p;
  uint64_t magnitude = 0;
  for (; p != last && static_cast<unsigned char>(*p - '0') <= 9; ++p) {
    magnitude = magnitude * 10 + static_cast<unsigned char>(*p - '0');
    if (magnitude > limit) return {nullptr, 0};
  }
  if (p == digits) return {nullptr, 0};
  const int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  if (value < low || value > high) return {nullptr, 0};
  return {p, value};
}

// The whole text as one number in [low, high]; a trailing blank or any other
// character after the digits fails, as does an empty text.
constexpr std::optional<int64_t> decimal_integer(std::string_view text, int64_t low, int64_t high) {
  const char* last = text.data() + text.size();
  const DecimalPrefix number = decimal_prefix(text.data(), last, low, high);
  if (number.next == nullptr || number.next != last) return std::nullopt;
  return number.value;
}

}  // namespace common
