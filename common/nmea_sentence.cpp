#include "common/nmea_sentence.h"

#include <optional>

namespace common {

namespace {

std::optional<uint8_t> hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return std::nullopt;
}

}  // namespace

uint8_t checksum_of(std::string_view body) {
  uint8_t sum = 0;
  for (char c : body) sum ^= static_cast<uint8_t>(c);
  return sum;
}

size_t sentence_end(std::string_view text, size_t start) { return text.find_first_of("\r\n$", start + 1); }

bool checksum_holds(std::string_view text, size_t start) {
  const size_t end = sentence_end(text, start);
  const std::string_view sentence = text.substr(start, end - start);
  const size_t star = sentence.find('*');
  if (star == std::string_view::npos) return end != std::string_view::npos && text[end] != '$';
  if (sentence.size() < star + 3) return false;
  const std::optional<uint8_t> high = hex_digit(sentence[star + 1]);
  const std::optional<uint8_t> low = hex_digit(sentence[star + 2]);
  return high && low && (*high << 4 | *low) == checksum_of(sentence.substr(1, star - 1));
}

}  // namespace common
