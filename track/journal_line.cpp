#include "track/journal_line.h"

#include "common/decimal_integer.h"

namespace track {

namespace {

// Blanks and control characters, the bytes a trim removes at both ends.
bool trimmed_away(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Crosses one read field by field, noting where each ends. A field runs up to
// the first byte equal to its terminator; every field check below reads no
// further than that, so what it sees is exactly the field's text.
class FieldCursor {
 public:
  FieldCursor(std::string_view read, JournalLine& line)
      : begin_(read.data()), at_(begin_), end_(begin_ + read.size()), line_(line) {}

  bool text(char terminator) {
    while (at_ != end_ && *at_ != terminator) ++at_;
    return close(terminator);
  }

  // Digits never equal a terminator, so the number must be followed by it.
  bool number(char terminator, int32_t high, int32_t& out) {
    const common::DecimalPrefix number = common::decimal_prefix(at_, end_, 0, high);
    if (number.next == nullptr) return false;
    at_ = number.next;
    out = static_cast<int32_t>(number.value);
    return close(terminator);
  }

  // One of `letters` once trimmed, up to the TAB; any but the first counts
  // negative.
  bool hemisphere(std::string_view letters, bool& negative) {
    const char* start = at_;
    if (!text('\t')) return false;
    const std::string_view letter = journal_trim(std::string_view(start, at_ - 1 - start));
    const std::size_t found = letter.size() == 1 ? letters.find(letter.front()) : std::string_view::npos;
    negative = found != 0;
    return found != std::string_view::npos;
  }

 private:
  bool close(char terminator) {
    if (at_ == end_ || *at_ != terminator) return false;
    line_.ends[field_++] = static_cast<uint8_t>(at_ - begin_);
    ++at_;
    return true;
  }

  const char* const begin_;
  const char* at_;
  const char* const end_;
  JournalLine& line_;
  std::size_t field_ = 0;
};

}  // namespace

std::string_view journal_trim(std::string_view text) {
  while (!text.empty() && trimmed_away(text.front())) text.remove_prefix(1);
  while (!text.empty() && trimmed_away(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<JournalLine> scan_journal_line(std::string_view read) {
  if (read.size() > kLongestRead) return std::nullopt;
  JournalLine line;
  FieldCursor cursor(read, line);
  const bool valid = cursor.text('\t') && cursor.text('\t') &&  // date, time
                     cursor.number('\xB0', 90, line.lat_degres) && cursor.number('\'', 59, line.lat_minutes) &&
                     cursor.number('"', 9999, line.lat_fraction) && cursor.hemisphere("NS", line.south) &&
                     cursor.number('\xB0', 180, line.lon_degres) && cursor.number('\'', 59, line.lon_minutes) &&
                     cursor.number('"', 9999, line.lon_fraction) && cursor.hemisphere("EWO", line.west) &&
                     cursor.text('\r');  // speed
  if (!valid) return std::nullopt;
  return line;
}

}  // namespace track
