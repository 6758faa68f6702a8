#include "viewer/journal_line.h"

#include <cstring>
#include <limits>

namespace viewer {

namespace {

constexpr char kTerminators[kFieldCount] = {'\t', '\t', '\xB0', '\'', '"', '\t', '\xB0', '\'', '"', '\t', '\r'};

// Blanks and control characters, the bytes a trim removes at both ends.
bool trimmed_away(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool in_range(std::string_view text, int32_t low, int32_t high, int32_t& out) {
  const std::optional<int32_t> value = journal_integer(text);
  if (!value || *value < low || *value > high) return false;
  out = *value;
  return true;
}

}  // namespace

std::string_view journal_trim(std::string_view text) {
  while (!text.empty() && trimmed_away(text.front())) text.remove_prefix(1);
  while (!text.empty() && trimmed_away(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<int32_t> journal_integer(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<JournalLine> scan_journal_line(std::string_view read) {
  if (read.size() > kLongestRead) return std::nullopt;
  JournalLine line;
  std::size_t cursor = 0;
  for (std::size_t f = 0; f < kFieldCount; ++f) {
    const void* found = std::memchr(read.data() + cursor, kTerminators[f], read.size() - cursor);
    if (found == nullptr) return std::nullopt;
    const std::size_t end = static_cast<const char*>(found) - read.data();
    line.ends[f] = static_cast<uint8_t>(end);
    cursor = end + 1;
  }
  const std::string_view lat_hemisphere = journal_trim(line.field(read, kLatHemisphere));
  const std::string_view lon_hemisphere = journal_trim(line.field(read, kLonHemisphere));
  const bool valid = in_range(line.field(read, kLatDegres), 0, 90, line.lat_degres) &&
                     in_range(line.field(read, kLatMinutes), 0, 59, line.lat_minutes) &&
                     in_range(line.field(read, kLatFraction), 0, 9999, line.lat_fraction) &&
                     (lat_hemisphere == "N" || lat_hemisphere == "S") &&
                     in_range(line.field(read, kLonDegres), 0, 180, line.lon_degres) &&
                     in_range(line.field(read, kLonMinutes), 0, 59, line.lon_minutes) &&
                     in_range(line.field(read, kLonFraction), 0, 9999, line.lon_fraction) &&
                     (lon_hemisphere == "E" || lon_hemisphere == "W" || lon_hemisphere == "O");
  if (!valid) return std::nullopt;
  return line;
}

}  // namespace viewer
